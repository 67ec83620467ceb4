#include "persona/text_files.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

std::optional<QString> readUtf8File(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

bool writeTextAtomically(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

namespace {

enum class LinkOutcome { linked, targetExists, failed };

// Gives the finished temporary file its final name unless that name is taken.
LinkOutcome moveIntoPlaceWithoutReplacing(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return LinkOutcome::linked;
    }
    if (errno == EEXIST) {
        return LinkOutcome::targetExists;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return LinkOutcome::failed;
    }
    // File systems without the no-replace rename still refuse to link over a name.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return LinkOutcome::linked;
    }
    return errno == EEXIST ? LinkOutcome::targetExists : LinkOutcome::failed;
}

bool writeNewFile(QFile& file, const QByteArray& bytes) {
    // NewOnly creates with the usual permissions (0666 less the umask), like QSaveFile.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return false;
    }
    const bool written =
        file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    return written;
}

} // namespace

CreateOutcome createTextFileIfAbsent(const QString& path, const QString& text) {
    const QString temporaryPath =
        path + QStringLiteral(".~") + QUuid::createUuid().toString(QUuid::Id128);
    QFile temporary(temporaryPath);
    if (!writeNewFile(temporary, text.toUtf8())) {
        temporary.remove();
        return CreateOutcome::failed;
    }
    const LinkOutcome outcome =
        moveIntoPlaceWithoutReplacing(QFile::encodeName(temporaryPath), QFile::encodeName(path));
    if (outcome != LinkOutcome::linked) {
        temporary.remove();
    }
    switch (outcome) {
    case LinkOutcome::linked:
        return CreateOutcome::created;
    case LinkOutcome::targetExists:
        return CreateOutcome::alreadyExists;
    case LinkOutcome::failed:
        break;
    }
    return CreateOutcome::failed;
}

namespace {

// True unless the file is known to end in something other than a line feed.
bool endsAtLineStart(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0 || !file.seek(file.size() - 1)) {
        return true;
    }
    char last = '\n';
    return !file.getChar(&last) || last == '\n';
}

} // namespace

bool appendTextOnOwnLine(const QString& path, const QString& text) {
    const bool needsLineFeed = !endsAtLineStart(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return false;
    }
    QByteArray bytes = text.toUtf8();
    if (needsLineFeed) {
        bytes.prepend('\n');
    }
    return file.write(bytes) == bytes.size();
}
