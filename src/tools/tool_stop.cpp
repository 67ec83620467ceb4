#include "tools/tool_stop.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

ToolStop::ToolStop() : m_descriptor(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ToolStop::~ToolStop() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

void ToolStop::request() {
    if (m_requested.exchange(true) || m_descriptor < 0) {
        return;
    }
    const std::uint64_t one = 1;
    // Never read: the descriptor stays readable from now on.
    [[maybe_unused]] const ssize_t written = ::write(m_descriptor, &one, sizeof one);
}
