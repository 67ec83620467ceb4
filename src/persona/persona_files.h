#pragma once

#include <QString>

#include <optional>

// soul.md or MEMORY.md as found at start-up.
struct LoadedText {
    enum class Origin {
        file,           // read from disk
        createdDefault, // was missing; the default was written (or tried)
        unreadable,     // exists but cannot be read; left untouched
    };
    QString text;
    Origin origin = Origin::file;
    bool lossy = false; // not valid UTF-8: the text shows U+FFFD for the bytes that are not
};

// Reads the file, or writes the default when nothing exists at the path. An
// unreadable file yields the default in memory only; one that is not valid
// UTF-8 is read leniently, never replaced.
LoadedText loadOrCreate(const QString& path, const QString& defaultText);

// Folds the legacy lower-case memory.md into MEMORY.md and removes it once its
// text is safe: when it holds only the default, or after MEMORY.md has been
// written with it and read back from disk (never into a MEMORY.md that could
// not be read whole). Text already in MEMORY.md is kept, with the legacy text
// after it. Returns the new long-term memory when it changed.
std::optional<QString> migrateLegacyMemory(const QString& legacyPath, const QString& memoryPath,
                                           const LoadedText& memory);

// The persona folder and its memory folder, made (with their parents) readable
// by the user only.
void createPrivateFolders(const QString& storageDirectory, const QString& memoryDirectory);

// Stores made by older versions were readable by everyone: the folders become
// 0700 and the persona's files 0600, once. A marker file records that it was
// done, so permissions the user sets afterwards are left as they are.
void makePrivateOnce(const QString& storageDirectory, const QString& memoryDirectory);
