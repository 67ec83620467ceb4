#include "persona/persona_files.h"

#include "persona/prompt_texts.h"
#include "persona/text_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

LoadedText loadOrCreate(const QString& path, const QString& defaultText) {
    if (!QFileInfo::exists(path)) {
        writeTextAtomically(path, defaultText);
        return {defaultText, LoadedText::Origin::createdDefault};
    }
    if (std::optional<DecodedText> read = readTextLeniently(path)) {
        return {std::move(read->text), LoadedText::Origin::file, read->lossy};
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
    if (memory.origin == LoadedText::Origin::unreadable || memory.lossy) {
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

namespace {

constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kPrivateFile = 0600;

const QString kMarkerName = QStringLiteral(".emberglass-private");

// Regular files and folders only: a link's target may be anything of the user's.
void restrict(const QString& path, mode_t folderMode, mode_t fileMode) {
    const QByteArray local = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(local.constData(), &info) != 0) {
        return;
    }
    const mode_t wanted = S_ISDIR(info.st_mode)   ? folderMode
                          : S_ISREG(info.st_mode) ? fileMode
                                                  : info.st_mode;
    if ((info.st_mode & 07777) != wanted && (S_ISDIR(info.st_mode) || S_ISREG(info.st_mode))) {
        ::chmod(local.constData(), wanted & (info.st_mode & 07777));
    }
}

} // namespace

void createPrivateFolders(const QString& storageDirectory, const QString& memoryDirectory) {
    for (const QString& folder : {storageDirectory, memoryDirectory}) {
        if (!QFileInfo::exists(folder)) {
            QDir().mkpath(QFileInfo(folder).absolutePath());
            ::mkdir(QFile::encodeName(folder).constData(), kPrivateFolder);
        }
    }
}

void makePrivateOnce(const QString& storageDirectory, const QString& memoryDirectory) {
    const QString marker = storageDirectory + QLatin1Char('/') + kMarkerName;
    if (QFileInfo::exists(marker) || !QFileInfo(storageDirectory).isDir()) {
        return;
    }
    restrict(storageDirectory, kPrivateFolder, kPrivateFile);
    restrict(memoryDirectory, kPrivateFolder, kPrivateFile);
    for (const QString& folder : {storageDirectory, memoryDirectory}) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
            restrict(dir.filePath(name), kPrivateFolder, kPrivateFile);
        }
    }
    createTextFileIfAbsent(marker, PromptTexts::privateMarkerText());
}
