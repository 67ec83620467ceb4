#include "tools/files/child_supervisor.h"

#include "tools/files/process_sweep.h"
#include "tools/tool_stop.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

namespace {

// After SIGTERM, how long the group has before SIGKILL.
constexpr auto terminationGrace = std::chrono::seconds(2);
// After SIGKILL, how long to wait for a child the kernel cannot kill yet (stuck
// in the file system) before giving up on it.
constexpr auto killGrace = std::chrono::seconds(2);
// After the child has ended, how long to keep collecting what is still in flight.
constexpr auto outputGrace = std::chrono::milliseconds(250);
// Without a pidfd the child's end is noticed by looking this often.
constexpr auto exitCheckInterval = std::chrono::milliseconds(10);
constexpr std::size_t readChunkSize = 64 * 1024;

int openExitNotice(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

} // namespace

ChildSupervisor::ChildSupervisor(pid_t pid, std::optional<std::chrono::milliseconds> timeout,
                                 Ending ending)
    : m_pid(pid), m_ending(std::move(ending)), m_exitNotice(openExitNotice(pid)),
      m_buffer(readChunkSize) {
    if (timeout) {
        m_terminateAt = Clock::now() + *timeout;
    }
}

void ChildSupervisor::watch(UniqueDescriptor stream, ChildOutputSink sink) {
    m_streams.push_back({std::move(stream), std::move(sink)});
}

ChildProcessResult ChildSupervisor::run() {
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (!m_exited) {
            collectExit(now);
            noticeStop(now);
            enforceTimeout(now);
        }
        if (isFinished(now)) {
            break;
        }
        waitForActivity(now);
    }
    return {QString(), m_status, m_timedOut, m_stopped, m_endedProcesses};
}

void ChildSupervisor::collectExit(Clock::time_point now) {
    siginfo_t info{};
    // WNOWAIT leaves the child a zombie for now, so its process group id cannot
    // be reused while the group is swept below.
    if (::waitid(P_PID, m_pid, &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        if (errno == EINTR) {
            return;
        }
        info.si_status = -1; // already reaped elsewhere: its status is lost
    } else if (info.si_pid == 0) {
        return;
    }
    // Still a zombie, the child holds its number, so nothing new can take over
    // the session id the sweep looks for.
    m_endedProcesses = endLeftoverProcesses(m_pid, m_ending.tag, signalledGroup());
    int ignored = 0;
    while (::waitpid(m_pid, &ignored, 0) < 0 && errno == EINTR) {
    }
    // For a child ended by a signal, si_status is the signal's number.
    m_status = info.si_status;
    m_exited = true;
    m_exitNotice.reset();
    m_stopReadingAt = now + outputGrace;
}

void ChildSupervisor::noticeStop(Clock::time_point now) {
    if (m_exited || m_stopped || m_ending.stop == nullptr || !m_ending.stop->isRequested()) {
        return;
    }
    // Ended as a timeout would be, from now on.
    m_stopped = true;
    if (!m_timedOut) {
        m_terminateAt = now;
    }
}

void ChildSupervisor::enforceTimeout(Clock::time_point now) {
    if (m_exited) {
        return;
    }
    if (m_terminateAt && now >= *m_terminateAt) {
        signalGroup(SIGTERM);
        // A stopped process acts on SIGTERM only once continued.
        signalGroup(SIGCONT);
        m_timedOut = !m_stopped;
        m_terminateAt.reset();
        m_killAt = now + terminationGrace;
    }
    if (m_killAt && now >= *m_killAt) {
        signalGroup(SIGKILL);
        m_killAt.reset();
        m_abandonAt = now + killGrace;
    }
    if (m_abandonAt && now >= *m_abandonAt) {
        // Left unreaped; the tool still answers, and what else is left goes.
        m_endedProcesses = endLeftoverProcesses(m_pid, m_ending.tag, signalledGroup());
        m_abandoned = true;
        m_status = SIGKILL;
    }
}

bool ChildSupervisor::isFinished(Clock::time_point now) const {
    if (m_abandoned) {
        return true;
    }
    if (!m_exited) {
        return false;
    }
    const bool anyOpen = std::any_of(m_streams.begin(), m_streams.end(), [](const Stream& stream) {
        return stream.descriptor.isOpen();
    });
    return !anyOpen || now >= *m_stopReadingAt;
}

int ChildSupervisor::pollTimeout(Clock::time_point now) const {
    std::optional<Clock::time_point> next;
    const auto consider = [&next](const std::optional<Clock::time_point>& deadline) {
        if (deadline && (!next || *deadline < *next)) {
            next = deadline;
        }
    };
    if (m_exited) {
        consider(m_stopReadingAt);
    } else {
        consider(m_terminateAt);
        consider(m_killAt);
        consider(m_abandonAt);
        if (!m_exitNotice.isOpen()) {
            consider(now + exitCheckInterval);
        }
    }
    if (!next) {
        return -1;
    }
    // Rounded up, so that a deadline less than a millisecond away is not spun on.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
}

void ChildSupervisor::waitForActivity(Clock::time_point now) {
    std::vector<pollfd> watched;
    for (const Stream& stream : m_streams) {
        if (stream.descriptor.isOpen()) {
            watched.push_back({stream.descriptor.get(), POLLIN, 0});
        }
    }
    if (!m_exited && m_exitNotice.isOpen()) {
        watched.push_back({m_exitNotice.get(), POLLIN, 0});
    }
    // Readable for good once requested, so watched only until noticed.
    if (!m_exited && !m_stopped && m_ending.stop != nullptr && m_ending.stop->descriptor() >= 0) {
        watched.push_back({m_ending.stop->descriptor(), POLLIN, 0});
    }
    if (::poll(watched.data(), watched.size(), pollTimeout(now)) <= 0) {
        return;
    }
    for (const pollfd& ready : watched) {
        if ((ready.revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        for (Stream& stream : m_streams) {
            if (stream.descriptor.get() == ready.fd) {
                readFrom(stream);
            }
        }
    }
}

void ChildSupervisor::readFrom(Stream& stream) {
    const ssize_t got = ::read(stream.descriptor.get(), m_buffer.data(), m_buffer.size());
    if (got > 0) {
        stream.sink(QByteArrayView(m_buffer.data(), got));
    } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
        stream.descriptor.reset();
    }
}

pid_t ChildSupervisor::signalledGroup() const {
    return m_timedOut || m_stopped ? m_pid : 0;
}

void ChildSupervisor::signalGroup(int signal) const {
    ::kill(-m_pid, signal);
}
