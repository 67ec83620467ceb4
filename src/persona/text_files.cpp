#include "persona/text_files.h"

#include "storage/durable_file.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr mode_t kOwnerOnly = 0600; // the persona is nobody else's to read

std::optional<QByteArray> readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

std::optional<QString> readUtf8File(const QString& path) {
    std::optional<DecodedText> decoded = readTextLeniently(path);
    if (!decoded || decoded->lossy) {
        return std::nullopt;
    }
    return std::move(decoded->text);
}

std::optional<DecodedText> readTextLeniently(const QString& path) {
    const std::optional<QByteArray> bytes = readBytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    // Stateless: a sequence cut off at the end of the file (a Latin-1 "é" as its
    // last byte) is shown and marked like any other, not kept back for more bytes.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    DecodedText decoded{decoder(*bytes), false};
    decoded.lossy = decoder.hasError();
    return decoded;
}

WriteResult writeTextAtomically(const QString& path, const QString& text) {
    struct stat info {};
    const bool isNew = ::stat(QFile::encodeName(path).constData(), &info) != 0 && errno == ENOENT;
    return replaceFileDurably(path, text.toUtf8(),
                              isNew ? std::optional<mode_t>(kOwnerOnly) : std::nullopt);
}

WriteResult createTextFileIfAbsent(const QString& path, const QString& text) {
    return createFileDurably(path, text.toUtf8(), kOwnerOnly);
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

WriteResult appendTextOnOwnLine(const QString& path, const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!endsAtLineStart(path)) {
        bytes.prepend('\n');
    }
    return appendDurably(path, bytes);
}
