#pragma once

#include "tools/files/child_process.h"
#include "tools/files/unique_descriptor.h"

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ToolStop;

// Sees one child, started as the leader of its own process group, through to
// its end: drains its pipes, enforces the timeout and reaps it.
class ChildSupervisor {
public:
    // The user's Stop, and the tag in the child's environment that marks what it leaves behind.
    struct Ending {
        const ToolStop* stop = nullptr;
        std::string tag;
    };

    ChildSupervisor(pid_t pid, std::optional<std::chrono::milliseconds> timeout, Ending ending);

    void watch(UniqueDescriptor stream, ChildOutputSink sink);
    ChildProcessResult run();

private:
    using Clock = std::chrono::steady_clock;

    struct Stream {
        UniqueDescriptor descriptor;
        ChildOutputSink sink;
    };

    void collectExit(Clock::time_point now);
    void noticeStop(Clock::time_point now);
    void enforceTimeout(Clock::time_point now);
    bool isFinished(Clock::time_point now) const;
    void waitForActivity(Clock::time_point now);
    int pollTimeout(Clock::time_point now) const;
    void readFrom(Stream& stream);
    void signalGroup(int signal) const;
    pid_t signalledGroup() const;

    pid_t m_pid;
    Ending m_ending;
    UniqueDescriptor m_exitNotice; // a pidfd, readable once the child has ended
    std::vector<Stream> m_streams;
    std::vector<char> m_buffer;
    std::optional<Clock::time_point> m_terminateAt;
    std::optional<Clock::time_point> m_killAt;
    std::optional<Clock::time_point> m_abandonAt;
    std::optional<Clock::time_point> m_stopReadingAt;
    bool m_timedOut = false;
    bool m_stopped = false;
    int m_endedProcesses = 0;
    bool m_exited = false;
    bool m_abandoned = false;
    int m_status = 0;
};
