#pragma once

// Files for the suites that work on real files in temporary directories.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Writes the bytes, making the missing parent folders first.
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) &&
           file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Null when the file cannot be read, so that a missing file differs from an empty one.
inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return bytes.isNull() ? QByteArray("") : bytes;
}

// A file under a name Qt would re-encode (bytes that are not UTF-8), made with the raw bytes.
inline bool writeRawName(const QByteArray& path, QByteArrayView content) {
    const int file = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const bool written =
        file >= 0 && ::write(file, content.data(), content.size()) == content.size();
    return ::close(file) == 0 && written;
}

inline bool setModified(const QString& path, const QDateTime& time) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(time, QFileDevice::FileModificationTime);
}

// The permission bits, or 0 when the file is not there.
inline uint modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// What a tool answers for a platform error with this errno.
inline QString systemError(int errorNumber) {
    return "Error: " + QString::fromLocal8Bit(std::strerror(errorNumber));
}
