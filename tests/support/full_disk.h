#pragma once

// A disk that runs out of room, for the writers' tests, in two forms:
// - sizeLimit: a file-size limit on this process (RLIMIT_FSIZE). A write past
//   the allowance fails with EFBIG, one that straddles it is cut short first,
//   as on a disk that fills up midway. Works unprivileged.
// - fullTmpfs: a small tmpfs mounted over the folder and filled to its last
//   byte; writes fail with ENOSPC. Mounting needs root: elsewhere, skip.

#include <QFile>
#include <QMetaType>
#include <QString>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

enum class DiskFault { sizeLimit, fullTmpfs };
Q_DECLARE_METATYPE(DiskFault)

class FullDisk {
public:
    FullDisk(DiskFault fault, const QString& folder)
        : m_fault(fault), m_folder(QFile::encodeName(folder)) {
        m_mounted = fault == DiskFault::fullTmpfs &&
                    ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=256k") == 0;
    }
    ~FullDisk() {
        release();
        if (m_mounted) {
            ::umount2(m_folder.constData(), MNT_DETACH);
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool isAvailable() const { return m_fault == DiskFault::sizeLimit || m_mounted; }
    int expectedError() const { return m_fault == DiskFault::sizeLimit ? EFBIG : ENOSPC; }

    // Full from now on; under the size limit a file may still grow to `allowance`.
    void engage(qint64 allowance = 0) {
        if (m_fault == DiskFault::sizeLimit) {
            ::getrlimit(RLIMIT_FSIZE, &m_saved);
            std::signal(SIGXFSZ, SIG_IGN); // else the process is killed
            const rlimit limit{rlim_t(allowance), m_saved.rlim_max};
            m_limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
            return;
        }
        const int filler = ::open(fillerPath().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const QByteArray block(64 * 1024, 'f');
        while (filler >= 0 && ::write(filler, block.constData(), block.size()) > 0) {
        }
        ::close(filler);
    }

    // Room again.
    void release() {
        if (m_limited) {
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
            std::signal(SIGXFSZ, SIG_DFL);
            m_limited = false;
        }
        if (m_mounted) {
            ::unlink(fillerPath().constData());
        }
    }

private:
    QByteArray fillerPath() const { return m_folder + "/filler"; }

    DiskFault m_fault;
    QByteArray m_folder;
    bool m_mounted = false;
    bool m_limited = false;
    rlimit m_saved{};
};
