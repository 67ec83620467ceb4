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
};

// Reads the file, or writes the default when nothing exists at the path. An
// unreadable file yields the default in memory only.
LoadedText loadOrCreate(const QString& path, const QString& defaultText);

// Folds the legacy lower-case memory.md into MEMORY.md and removes it once its
// text is safe: when it holds only the default, or after MEMORY.md has been
// written with it and read back from disk. Text already in MEMORY.md is kept, with the legacy text
// after it. Returns the new long-term memory when it changed.
std::optional<QString> migrateLegacyMemory(const QString& legacyPath, const QString& memoryPath,
                                           const LoadedText& memory);
