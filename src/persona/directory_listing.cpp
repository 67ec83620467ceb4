#include "persona/directory_listing.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <memory>

bool FileSignature::operator==(const FileSignature& other) const {
    const auto sameTime = [](const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return device == other.device && inode == other.inode && size == other.size &&
           sameTime(modified, other.modified) && sameTime(changed, other.changed);
}

namespace {

struct CloseDirectory {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryHandle = std::unique_ptr<DIR, CloseDirectory>;

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

std::optional<FileSignature> examine(int directoryFd, const char* name) {
    struct stat info {};
    if (::fstatat(directoryFd, name, &info, 0) != 0) {
        return std::nullopt;
    }
    return FileSignature{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

template <typename OnEntry> bool forEachEntry(const QString& directory, OnEntry onEntry) {
    const DirectoryHandle handle(::opendir(QFile::encodeName(directory).constData()));
    if (!handle) {
        return false;
    }
    while (const dirent* entry = ::readdir(handle.get())) {
        if (!isDotOrDotDot(entry->d_name)) {
            onEntry(::dirfd(handle.get()), entry->d_name);
        }
    }
    return true;
}

} // namespace

std::optional<QStringList> listEntryNames(const QString& directory) {
    QStringList names;
    const bool listed = forEachEntry(
        directory, [&](int, const char* name) { names.append(QFile::decodeName(name)); });
    return listed ? std::optional(names) : std::nullopt;
}

std::optional<QList<DirectoryEntry>> listEntries(const QString& directory) {
    QList<DirectoryEntry> entries;
    const bool listed = forEachEntry(directory, [&](int fd, const char* name) {
        entries.append({QFile::decodeName(name), examine(fd, name)});
    });
    return listed ? std::optional(entries) : std::nullopt;
}

bool isMarkdownName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && QStringView(name).sliced(dot + 1) == QLatin1String("md");
}

QString withoutExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}
