#include "storage/durable_file.h"

#include "storage/write_litter.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr mode_t kScratchMode = 0600; // until the bytes are complete: others never read a part

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

// The mode a new file gets from open(0666): the umask, read without changing
// it (umask() itself would change it for every thread for a moment).
mode_t usualMode() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok) {
                    return 0666 & ~mode_t(mask);
                }
            }
        }
    }
    return 0644;
}

// What a replaced file keeps of the old one: its mode, owner and group and
// extended attributes (ACLs are among them).
struct Identity {
    mode_t mode = 0;
    std::optional<std::pair<uid_t, gid_t>> owner; // none for a new file
};

// Copies every extended attribute of `from` to the descriptor.
int copyAttributes(const QByteArray& from, int to) {
    const ssize_t length = ::listxattr(from.constData(), nullptr, 0);
    if (length < 0) {
        return errno == ENOTSUP ? 0 : lastError();
    }
    QByteArray names(length, '\0');
    const ssize_t listed = ::listxattr(from.constData(), names.data(), size_t(names.size()));
    if (listed < 0) {
        return lastError();
    }
    for (const QByteArray& name : names.first(listed).split('\0')) {
        if (name.isEmpty()) {
            continue;
        }
        const ssize_t size = ::getxattr(from.constData(), name.constData(), nullptr, 0);
        QByteArray value(qMax<ssize_t>(size, 0), '\0');
        const ssize_t read =
            size < 0 ? -1
                     : ::getxattr(from.constData(), name.constData(), value.data(), size_t(size));
        if (read < 0 ||
            ::fsetxattr(to, name.constData(), value.constData(), size_t(read), 0) != 0) {
            return lastError();
        }
    }
    return 0;
}

// A fully written and synced file beside the target, removed again unless
// handed over with release(). It is private to the user until it is complete.
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

    // `keep` names the file whose owner and attributes the new one takes on.
    int write(const QByteArray& target, QByteArrayView bytes, const Identity& identity,
              const QByteArray& keep = {}) {
        int descriptor = -1;
        while (descriptor < 0) {
            const QByteArray candidate = scratchFileName(target);
            descriptor = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                kScratchMode);
            if (descriptor >= 0) {
                m_path = candidate;
            } else if (errno != EEXIST) {
                return lastError();
            }
        }
        int result = writeAll(descriptor, bytes);
        if (result == 0 && identity.owner &&
            ::fchown(descriptor, identity.owner->first, identity.owner->second) != 0) {
            result = lastError();
        }
        if (result == 0 && ::fchmod(descriptor, identity.mode) != 0) {
            result = lastError();
        }
        // After the mode: setting an ACL sets the group bits of the mode too.
        if (result == 0 && !keep.isEmpty()) {
            result = copyAttributes(keep, descriptor);
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

// What replacing the target must respect, or why it cannot be replaced.
struct TargetState {
    int problem = 0;
    bool exists = false;
    bool inPlace = false; // the file itself must be rewritten, not a new one put in its place
    struct stat info {};
};

TargetState inspectTarget(const QByteArray& target) {
    TargetState state;
    if (::stat(target.constData(), &state.info) != 0) {
        state.problem = errno == ENOENT ? 0 : lastError();
        return state;
    }
    state.exists = true;
    if (S_ISDIR(state.info.st_mode)) {
        state.problem = EISDIR;
        return state;
    }
    // A file the user may not write is not replaced behind its back.
    if (::access(target.constData(), W_OK) != 0) {
        state.problem = lastError();
        return state;
    }
    // A new file would leave the other names of a hard link with the old text,
    // and cannot be made in a folder the user may not write.
    state.inPlace =
        S_ISREG(state.info.st_mode) &&
        (state.info.st_nlink > 1 || ::access(folderOf(target).constData(), W_OK | X_OK) != 0);
    return state;
}

// Rewrites the file itself: its identity stays whole, but a crash midway can
// leave a mix, so room for the new bytes is reserved before the old are touched.
WriteResult rewriteInPlace(const QByteArray& target, QByteArrayView bytes,
                           std::optional<mode_t> mode) {
    const int descriptor = ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) {
        return WriteResult::failure(lastError());
    }
    // posix_fallocate answers with the error; a file system without it is written all the same.
    int result = bytes.isEmpty() ? 0 : ::posix_fallocate(descriptor, 0, off_t(bytes.size()));
    if (result == EOPNOTSUPP || result == EINVAL) {
        result = 0;
    }
    if (result == 0) {
        result = writeAll(descriptor, bytes);
    }
    if (result == 0 && ::ftruncate(descriptor, off_t(bytes.size())) != 0) {
        result = lastError();
    }
    if (result == 0 && mode && ::fchmod(descriptor, *mode) != 0) {
        result = lastError();
    }
    if (result == 0 && ::fsync(descriptor) != 0) {
        result = lastError();
    }
    if (::close(descriptor) != 0 && result == 0) {
        result = lastError();
    }
    return result ? WriteResult::failure(result) : WriteResult::success();
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
    if (state.inPlace) {
        return rewriteInPlace(target, bytes, mode);
    }
    Identity identity{mode.value_or(state.exists ? state.info.st_mode & 0777 : usualMode()), {}};
    if (state.exists) {
        identity.owner = std::pair{state.info.st_uid, state.info.st_gid};
    }
    TemporaryFile temporary;
    if (const int problem =
            temporary.write(target, bytes, identity, state.exists ? target : QByteArray())) {
        // An owner or attribute the user cannot give a new file is kept by
        // rewriting the old one.
        if (state.exists && S_ISREG(state.info.st_mode) &&
            (problem == EPERM || problem == ENOTSUP)) {
            return rewriteInPlace(target, bytes, mode);
        }
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

WriteResult createFileDurably(const QString& path, QByteArrayView bytes,
                              std::optional<mode_t> mode) {
    if (path.isEmpty()) {
        return WriteResult::failure(ENOENT);
    }
    const QByteArray target = QFile::encodeName(path);
    TemporaryFile temporary;
    if (const int problem =
            temporary.write(target, bytes, Identity{mode.value_or(usualMode()), {}})) {
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
