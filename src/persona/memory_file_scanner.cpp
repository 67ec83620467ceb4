#include "persona/memory_file_scanner.h"

#include "persona/text_files.h"

#include <algorithm>
#include <ctime>

namespace {

std::chrono::nanoseconds sinceEpoch(const timespec& time) {
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
}

timespec wallClockNow() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

bool isSettled(const FileSignature& signature, const timespec& readStart,
               std::chrono::nanoseconds settleTime) {
    const auto lastTouched =
        std::max(sinceEpoch(signature.modified), sinceEpoch(signature.changed));
    return sinceEpoch(readStart) - lastTouched > settleTime;
}

struct ScannedFile {
    MemoryFile file;
    std::optional<timespec> modified;
};

bool newerFirst(const ScannedFile& a, const ScannedFile& b) {
    if (a.modified.has_value() != b.modified.has_value()) {
        return a.modified.has_value(); // undated files go last
    }
    if (a.modified && sinceEpoch(*a.modified) != sinceEpoch(*b.modified)) {
        return sinceEpoch(*a.modified) > sinceEpoch(*b.modified);
    }
    return a.file.name > b.file.name;
}

std::optional<QDateTime> dateOf(const std::optional<FileSignature>& signature) {
    if (!signature) {
        return std::nullopt;
    }
    // UTC avoids a time-zone lookup per file; the instant is the same.
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch(signature->modified));
    return QDateTime::fromMSecsSinceEpoch(ms.count(), Qt::UTC);
}

} // namespace

MemoryFileScanner::MemoryFileScanner(std::chrono::nanoseconds settleTime)
    : m_settleTime(settleTime) {}

QString MemoryFileScanner::contentOf(const QString& path,
                                     const std::optional<FileSignature>& signature,
                                     const timespec& scanStart,
                                     QHash<QString, CachedContent>& nextCache) {
    if (!signature) {
        return readUtf8File(path).value_or(QString());
    }
    const auto cached = m_cache.constFind(path);
    if (cached != m_cache.cend() && cached->settled && cached->signature == *signature) {
        nextCache.insert(path, *cached);
        return cached->content;
    }
    const QString content = readUtf8File(path).value_or(QString());
    nextCache.insert(path, {*signature, content, isSettled(*signature, scanStart, m_settleTime)});
    return content;
}

QList<MemoryFile> MemoryFileScanner::scan(const QString& directory) {
    const timespec scanStart = wallClockNow();
    const std::optional<QList<DirectoryEntry>> entries = listEntries(directory);
    if (!entries) {
        m_cache.clear();
        return {};
    }
    // Only the files still present are carried over, so deleted files leave the cache.
    QHash<QString, CachedContent> nextCache;
    nextCache.reserve(entries->size());
    QList<ScannedFile> scanned;
    for (const DirectoryEntry& entry : *entries) {
        if (!isMarkdownName(entry.name)) {
            continue;
        }
        const QString path = directory + QLatin1Char('/') + entry.name;
        MemoryFile file{QUuid::createUuid(), withoutExtension(entry.name), path,
                        contentOf(path, entry.signature, scanStart, nextCache),
                        dateOf(entry.signature)};
        scanned.append({std::move(file),
                        entry.signature ? std::optional(entry.signature->modified) : std::nullopt});
    }
    m_cache = std::move(nextCache);
    std::sort(scanned.begin(), scanned.end(), newerFirst);
    QList<MemoryFile> files;
    files.reserve(scanned.size());
    for (ScannedFile& item : scanned) {
        files.append(std::move(item.file));
    }
    return files;
}
