#include "persona/text_files.h"

#include "storage/durable_file.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>

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

WriteResult writeTextAtomically(const QString& path, const QString& text) {
    return replaceFileDurably(path, text.toUtf8());
}

CreateOutcome createTextFileIfAbsent(const QString& path, const QString& text) {
    const WriteResult result = createFileDurably(path, text.toUtf8());
    if (result.ok()) {
        return CreateOutcome::created;
    }
    return result.errorNumber() == EEXIST ? CreateOutcome::alreadyExists : CreateOutcome::failed;
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
    QByteArray bytes = text.toUtf8();
    if (!endsAtLineStart(path)) {
        bytes.prepend('\n');
    }
    return appendDurably(path, bytes).ok();
}
