#pragma once

// A disk that runs out of room, for tests of the writers, in two forms:
// - sizeLimit: a file-size limit on this process (RLIMIT_FSIZE). Any write
//   that would take a file past the allowance fails with EFBIG; a write that
//   straddles it is cut short first, just as on a disk that fills up midway.
//   Works unprivileged.
// - fullTmpfs: a real file system (a small tmpfs mounted over the folder)
//   filled to its last byte, where writes fail with ENOSPC. Mounting needs
//   root; elsewhere the case is skipped.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

enum class DiskFault { sizeLimit, fullTmpfs };

class FullDisk {
public:
    FullDisk(DiskFault fault, const QString& folder) : m_fault(fault), m_folder(folder) {
        if (m_fault == DiskFault::fullTmpfs) {
            m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                                "size=256k") == 0;
        }
    }
    ~FullDisk() {
        release();
        if (m_mounted) {
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // False when the fault cannot be staged here (no right to mount).
    bool isAvailable() const { return m_fault == DiskFault::sizeLimit || m_mounted; }

    // From now on the disk is full; a file may still grow to `allowance` bytes
    // under the size limit (the tmpfs has no room at all).
    void engage(qint64 allowance = 0) {
        if (m_fault == DiskFault::sizeLimit) {
            ::getrlimit(RLIMIT_FSIZE, &m_savedLimit);
            m_savedSignal = std::signal(SIGXFSZ, SIG_IGN); // else the process is killed
            const rlimit limit{rlim_t(allowance), m_savedLimit.rlim_max};
            m_limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        } else {
            fill();
        }
    }

    // Room again.
    void release() {
        if (m_limited) {
            ::setrlimit(RLIMIT_FSIZE, &m_savedLimit);
            std::signal(SIGXFSZ, m_savedSignal);
            m_limited = false;
        }
        if (m_mounted) {
            ::unlink(fillerPath().constData());
        }
    }

    // The error a write then meets.
    int expectedError() const { return m_fault == DiskFault::sizeLimit ? EFBIG : ENOSPC; }

private:
    void fill() {
        const int descriptor = ::open(fillerPath().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const QByteArray block(64 * 1024, 'f');
        while (descriptor >= 0 && ::write(descriptor, block.constData(), block.size()) > 0) {
        }
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }

    QByteArray fillerPath() const {
        return QFile::encodeName(m_folder + QStringLiteral("/filler"));
    }

    DiskFault m_fault;
    QString m_folder;
    bool m_mounted = false;
    bool m_limited = false;
    rlimit m_savedLimit{};
    void (*m_savedSignal)(int) = SIG_DFL;
};

#include <QMetaType>
Q_DECLARE_METATYPE(DiskFault)
