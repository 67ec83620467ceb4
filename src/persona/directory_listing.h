#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include <sys/stat.h>

// What the file system says about a file, enough to tell whether it changed.
struct FileSignature {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileSignature& other) const;
};

struct DirectoryEntry {
    QString name;
    std::optional<FileSignature> signature; // absent when the entry cannot be examined
};

// The names directly inside a directory, hidden ones included ("." and ".."
// excluded), in the file system's order; nothing when it cannot be listed.
std::optional<QStringList> listEntryNames(const QString& directory);

// The same, with each entry examined (symbolic links followed).
std::optional<QList<DirectoryEntry>> listEntries(const QString& directory);

// Memory files are the names whose extension is exactly "md"; ".md" alone is a
// hidden name without an extension.
bool isMarkdownName(const QString& name);

// The name without its last extension: "a.b.md" gives "a.b".
QString withoutExtension(const QString& name);
