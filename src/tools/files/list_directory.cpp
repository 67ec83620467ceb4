#include "storage/platform_error.h"
#include "tools/files/file_tool_texts.h"
#include "tools/files/file_tools.h"
#include "tools/printed_name.h"
#include "tools/tool_texts.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace {

ToolOutcome listOutcome(bool success, const QString& output) {
    return {QStringLiteral("list_directory"), success, output};
}

struct Entry {
    QString name;
    QByteArray sortKey;
    QByteArray bytes;
    bool isDirectory = false;
};

// UTF-8 bytes compare in the order of the scalar values they encode, so the
// normalised name's bytes order names by code point (UTF-16 units would put
// characters beyond U+FFFF before U+E000..U+FFFF).
QByteArray sortKeyOf(const QString& name) {
    return name.normalized(QString::NormalizationForm_C).toUtf8();
}

// A symbolic link counts as what it points to.
bool isDirectoryEntry(int directoryDescriptor, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat info {};
    return ::fstatat(directoryDescriptor, entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

class DirectoryStream {
public:
    explicit DirectoryStream(const std::optional<QByteArray>& path)
        : m_stream(path ? ::opendir(path->constData()) : nullptr) {
        if (!path) {
            errno = ENOENT; // no directory has such a name
        }
    }
    ~DirectoryStream() {
        if (m_stream != nullptr) {
            ::closedir(m_stream);
        }
    }
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;

    DIR* get() const { return m_stream; }

private:
    DIR* m_stream;
};

} // namespace

ToolOutcome listDirectory(const QString& path) {
    const DirectoryStream directory(argumentPath(path));
    if (directory.get() == nullptr) {
        return listOutcome(false, ToolTexts::error(platformErrorDescription(errno)));
    }
    const int descriptor = ::dirfd(directory.get());
    std::vector<Entry> entries;
    for (;;) {
        errno = 0; // readdir tells the end from an error only through errno
        const dirent* entry = ::readdir(directory.get());
        if (entry == nullptr) {
            break;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        // Sorted as text; shown as the bytes are, escaped where they are not plain text.
        entries.push_back({printableName(entry->d_name),
                           sortKeyOf(QString::fromUtf8(entry->d_name)), entry->d_name,
                           isDirectoryEntry(descriptor, *entry)});
    }
    if (errno != 0) {
        return listOutcome(false, ToolTexts::error(platformErrorDescription(errno)));
    }
    if (entries.empty()) {
        return listOutcome(true, FileToolTexts::emptyDirectory());
    }
    // Names equal after normalisation keep a fixed order by their own bytes.
    std::sort(entries.begin(), entries.end(), [](const Entry& left, const Entry& right) {
        return left.sortKey != right.sortKey ? left.sortKey < right.sortKey
                                             : left.bytes < right.bytes;
    });
    QStringList lines;
    lines.reserve(qsizetype(entries.size()));
    for (const Entry& entry : entries) {
        lines.append(entry.isDirectory ? entry.name + QLatin1Char('/') : entry.name);
    }
    return listOutcome(true, lines.join(QLatin1Char('\n')));
}
