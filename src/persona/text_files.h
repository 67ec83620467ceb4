#pragma once

#include "storage/write_result.h"

#include <QString>

#include <optional>

// The whole file decoded as UTF-8; nothing when it cannot be opened or read, or
// when its bytes are not valid UTF-8.
std::optional<QString> readUtf8File(const QString& path);

// A persona file's text: bytes that are not UTF-8 become U+FFFD rather than
// the whole file being thrown away, and `lossy` says so.
struct DecodedText {
    QString text;
    bool lossy = false;
};
// Nothing when the file cannot be opened or read.
std::optional<DecodedText> readTextLeniently(const QString& path);

// Replaces the file with the text as UTF-8 through a temporary file in the same
// directory, so a reader sees either the old or the new content; succeeds only
// once the text is on disk. On failure the old file is untouched and
// the result holds the system's reason.
// A new file is made readable by the user only.
WriteResult writeTextAtomically(const QString& path, const QString& text);

// Publishes a new file holding the text, atomically, only if nothing exists at
// the path yet: a file that appears meanwhile is never replaced. It is made
// readable by the user only.
// Fails with EEXIST when a file is there already.
WriteResult createTextFileIfAbsent(const QString& path, const QString& text);

// Adds the text at the end of an existing file without rewriting what is there.
// If the file's last line lacks its line feed, one is written first so the new
// text starts a line of its own. All of it or nothing: fails, having added
// nothing, when the file cannot be opened or the write fails.
WriteResult appendTextOnOwnLine(const QString& path, const QString& text);
