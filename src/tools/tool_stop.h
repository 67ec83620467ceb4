#pragma once

#include <atomic>

// The user's Stop for one running tool, asked for on any thread and seen by
// the tool on its own: as a flag, or as a descriptor that becomes readable, so
// that a tool waiting in poll() wakes at once.
class ToolStop {
public:
    ToolStop();
    ~ToolStop();
    ToolStop(const ToolStop&) = delete;
    ToolStop& operator=(const ToolStop&) = delete;

    void request();
    bool isRequested() const { return m_requested.load(); }
    // An eventfd, or -1 when none could be made (the flag still works).
    int descriptor() const { return m_descriptor; }

private:
    std::atomic<bool> m_requested{false};
    int m_descriptor;
};
