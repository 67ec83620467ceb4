#include "storage/durable_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kUsualMode = 0666; // less the umask, as for any new file

// errno, or EIO should a call fail without setting it.
int lastError() {
    return errno != 0 ? errno : EIO;
}

int writeAll(int descriptor, QByteArrayView bytes) {
    const char* next = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, next, size_t(left));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        if (written == 0) {
            return EIO;
        }
        next += written;
        left -= written;
    }
    return 0;
}

// Makes a rename or a new name in the folder last through a crash.
int syncFolder(const QByteArray& folder) {
    const int descriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return lastError();
    }
    const int result = ::fsync(descriptor) == 0 ? 0 : lastError();
    ::close(descriptor);
    // Some file systems cannot sync a folder at all; that loses nothing written.
    return result == EINVAL || result == ENOTSUP ? 0 : result;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) {
        return QByteArrayLiteral(".");
    }
    return slash == 0 ? QByteArrayLiteral("/") : path.first(slash);
}

// A fully written and synced file beside the target, removed again unless
// handed over with release().
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!m_path.isEmpty()) {
            ::unlink(m_path.constData());
        }
    }

    // `mode` is applied exactly; without it the new file gets the usual mode.
    int write(const QByteArray& target, QByteArrayView bytes, std::optional<mode_t> mode) {
        int descriptor = -1;
        while (descriptor < 0) {
            const QByteArray candidate =
                target + ".~" + QByteArray::number(QRandomGenerator::system()->generate(), 16);
            descriptor = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                mode.value_or(kUsualMode));
            if (descriptor >= 0) {
                m_path = candidate;
            } else if (errno != EEXIST) {
                return lastError();
            }
        }
        int result = mode && ::fchmod(descriptor, *mode) != 0 ? lastError() : 0;
        if (result == 0) {
            result = writeAll(descriptor, bytes);
        }
        if (result == 0 && ::fsync(descriptor) != 0) {
            result = lastError();
        }
        // Network file systems may report a failed write only when the file is closed.
        if (::close(descriptor) != 0 && result == 0) {
            result = lastError();
        }
        return result;
    }

    const QByteArray& path() const { return m_path; }
    void release() { m_path.clear(); }

private:
    QByteArray m_path;
};

// The file a write to `path` really changes: a symbolic link's target.
QByteArray resolvedTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) {
        return QFile::encodeName(path);
    }
    const QString canonical = info.canonicalFilePath();
    return QFile::encodeName(canonical.isEmpty() ? info.symLinkTarget() : canonical);
}

// What replacing the target must respect: the mode it keeps (none for a new
// file), or why it cannot be replaced.
struct TargetState {
    int problem = 0;
    std::optional<mode_t> mode;
};

TargetState inspectTarget(const QByteArray& target) {
    struct stat info {};
    if (::stat(target.constData(), &info) != 0) {
        return {errno == ENOENT ? 0 : lastError(), std::nullopt};
    }
    if (S_ISDIR(info.st_mode)) {
        return {EISDIR, std::nullopt};
    }
    // A file the user may not write is not replaced behind its back.
    if (::access(target.constData(), W_OK) != 0) {
        return {lastError(), std::nullopt};
    }
    return {0, info.st_mode & 0777};
}

} // namespace

WriteResult replaceFileDurably(const QString& path, QByteArrayView bytes,
                               std::optional<mode_t> mode) {
    if (path.isEmpty()) {
        return WriteResult::failure(ENOENT);
    }
    const QByteArray target = resolvedTarget(path);
    const TargetState state = inspectTarget(target);
    if (state.problem) {
        return WriteResult::failure(state.problem);
    }
    TemporaryFile temporary;
    if (const int problem = temporary.write(target, bytes, mode ? mode : state.mode)) {
        return WriteResult::failure(problem);
    }
    if (::rename(temporary.path().constData(), target.constData()) != 0) {
        return WriteResult::failure(lastError());
    }
    temporary.release();
    const int problem = syncFolder(folderOf(target));
    return problem ? WriteResult::failure(problem) : WriteResult::success();
}

namespace {

// Gives the finished file its final name unless that name is taken (EEXIST).
int linkWithoutReplacing(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return lastError();
    }
    // File systems without the no-replace rename still refuse to link over a name.
    if (::link(from.constData(), to.constData()) != 0) {
        return lastError();
    }
    ::unlink(from.constData());
    return 0;
}

} // namespace

WriteResult createFileDurably(const QString& path, QByteArrayView bytes) {
    if (path.isEmpty()) {
        return WriteResult::failure(ENOENT);
    }
    const QByteArray target = QFile::encodeName(path);
    TemporaryFile temporary;
    if (const int problem = temporary.write(target, bytes, std::nullopt)) {
        return WriteResult::failure(problem);
    }
    if (const int problem = linkWithoutReplacing(temporary.path(), target)) {
        return WriteResult::failure(problem);
    }
    temporary.release();
    const int problem = syncFolder(folderOf(target));
    return problem ? WriteResult::failure(problem) : WriteResult::success();
}

WriteResult appendDurably(const QString& path, QByteArrayView bytes) {
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (descriptor < 0) {
        return WriteResult::failure(lastError());
    }
    struct stat before {};
    int result = ::fstat(descriptor, &before) == 0 ? 0 : lastError();
    if (result == 0) {
        result = writeAll(descriptor, bytes);
        if (result == 0 && ::fsync(descriptor) != 0) {
            result = lastError();
        }
        // A failed append adds nothing: a part that did get written would read
        // as a cut-off record.
        if (result != 0 && ::ftruncate(descriptor, before.st_size) == 0) {
            ::fsync(descriptor);
        }
    }
    if (::close(descriptor) != 0 && result == 0) {
        result = lastError();
    }
    return result ? WriteResult::failure(result) : WriteResult::success();
}

WriteResult createDirectories(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    for (qsizetype end = 1; end <= local.size(); ++end) {
        if (end != local.size() && local[end] != '/') {
            continue;
        }
        const QByteArray level = local.first(end);
        if (::mkdir(level.constData(), 0777) == 0) {
            continue;
        }
        if (errno != EEXIST) {
            return WriteResult::failure(lastError());
        }
        struct stat info {};
        if (::stat(level.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return WriteResult::failure(ENOTDIR);
        }
    }
    return WriteResult::success();
}
