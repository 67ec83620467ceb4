#pragma once

#include "storage/write_result.h"

#include <QString>

#include <optional>

// The whole file decoded as UTF-8; nothing when it cannot be opened or read, or
// when its bytes are not valid UTF-8.
std::optional<QString> readUtf8File(const QString& path);

// Replaces the file with the text as UTF-8 through a temporary file in the same
// directory, so a reader sees either the old or the new content; succeeds only
// once the text is on disk. On failure the old file is untouched and
// the result holds the system's reason.
WriteResult writeTextAtomically(const QString& path, const QString& text);

enum class CreateOutcome { created, alreadyExists, failed };

// Publishes a new file holding the text, atomically, only if nothing exists at
// the path yet: a file that appears meanwhile is never replaced.
CreateOutcome createTextFileIfAbsent(const QString& path, const QString& text);

// Adds the text at the end of an existing file without rewriting what is there.
// If the file's last line lacks its line feed, one is written first so the new
// text starts a line of its own. All of it or nothing: returns false, having
// added nothing, when the file cannot be opened or the write fails.
bool appendTextOnOwnLine(const QString& path, const QString& text);
