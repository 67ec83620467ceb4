#pragma once

#include "persona/directory_listing.h"
#include "persona/memory_file.h"

#include <QHash>
#include <QList>

#include <chrono>

// Scans the memory directory into MemoryFile records, newest first. Contents are
// kept between scans and reused only while a file's device, inode, size,
// modification and change times are all unchanged and the file had already been
// left alone for the settle time when it was read: a file rewritten within one
// timestamp tick of that read is read again.
class MemoryFileScanner {
public:
    explicit MemoryFileScanner(std::chrono::nanoseconds settleTime = std::chrono::seconds(2));

    // An empty list when the directory cannot be listed.
    QList<MemoryFile> scan(const QString& directory);

private:
    struct CachedContent {
        FileSignature signature;
        QString content;
        bool settled = false;
    };

    QString contentOf(const QString& path, const std::optional<FileSignature>& signature,
                      const timespec& scanStart, QHash<QString, CachedContent>& nextCache);

    std::chrono::nanoseconds m_settleTime;
    QHash<QString, CachedContent> m_cache; // by full path
};
