#include "persona/persona_files.h"

#include "persona/prompt_texts.h"
#include "persona/text_files.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

LoadedText loadOrCreate(const QString& path, const QString& defaultText) {
    if (!QFileInfo::exists(path)) {
        writeTextAtomically(path, defaultText);
        return {defaultText, LoadedText::Origin::createdDefault};
    }
    if (std::optional<QString> text = readUtf8File(path)) {
        return {*std::move(text), LoadedText::Origin::file};
    }
    return {defaultText, LoadedText::Origin::unreadable};
}

namespace {

// On a case-insensitive file system both names lead to one file.
bool isSameFile(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool holdsOnlyThePlaceholder(const QString& memory) {
    const QString trimmed = memory.trimmed();
    return trimmed.isEmpty() || trimmed == PromptTexts::defaultMemory().trimmed();
}

} // namespace

std::optional<QString> migrateLegacyMemory(const QString& legacyPath, const QString& memoryPath,
                                           const LoadedText& memory) {
    if (!QFileInfo::exists(legacyPath) || isSameFile(legacyPath, memoryPath)) {
        return std::nullopt;
    }
    const std::optional<QString> legacy = readUtf8File(legacyPath);
    // An unreadable legacy file stays where it is rather than being lost.
    if (!legacy) {
        return std::nullopt;
    }
    if (*legacy == PromptTexts::defaultMemory()) {
        QFile::remove(legacyPath);
        return std::nullopt;
    }
    // A MEMORY.md that cannot be read cannot be merged into without losing it.
    if (memory.origin == LoadedText::Origin::unreadable) {
        return std::nullopt;
    }
    if (*legacy == memory.text) {
        QFile::remove(legacyPath);
        return std::nullopt;
    }
    const QString merged = holdsOnlyThePlaceholder(memory.text)
                               ? *legacy
                               : memory.text + QStringLiteral("\n\n") + *legacy;
    // The legacy file is the only copy of its text until MEMORY.md is read back
    // holding it.
    if (writeTextAtomically(memoryPath, merged).ok() && readUtf8File(memoryPath) == merged) {
        QFile::remove(legacyPath);
    }
    return merged;
}
