#include "tools/readers/reader_child.h"

#include "tools/readers/reader_texts.h"
#include "tools/tool_stop.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool writeAll(int descriptor, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

[[noreturn]] void runChild(int descriptor,
                           const std::function<void(const ReaderMessageSink&)>& work) {
    // Each message goes as its length, then its bytes.
    work([descriptor](QByteArrayView message) {
        const auto length = static_cast<std::uint32_t>(message.size());
        if (!writeAll(descriptor, reinterpret_cast<const char*>(&length), sizeof length) ||
            !writeAll(descriptor, message.data(), message.size())) {
            ::_exit(1);
        }
    });
    ::_exit(0);
}

// Splits the complete messages off the front of the received bytes.
void takeMessages(QByteArray& received, QList<QByteArray>& messages) {
    qsizetype offset = 0;
    std::uint32_t length = 0;
    while (received.size() - offset >= qsizetype(sizeof length)) {
        std::memcpy(&length, received.constData() + offset, sizeof length);
        if (received.size() - offset - qsizetype(sizeof length) < qsizetype(length)) {
            break;
        }
        messages.append(received.mid(offset + sizeof length, length));
        offset += qsizetype(sizeof length) + length;
    }
    received.remove(0, offset);
}

ChildReading::Ending waitForEnd(pid_t child, ChildReading::Ending ending) {
    if (ending != ChildReading::Ending::finished) {
        ::kill(child, SIGKILL);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (ending == ChildReading::Ending::finished &&
        !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        return ChildReading::Ending::failed;
    }
    return ending;
}

} // namespace

ChildReading readInChild(const std::function<void(const ReaderMessageSink&)>& work,
                         std::chrono::milliseconds timeLimit, const ToolStop* stop) {
    ChildReading reading;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return reading;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        runChild(ends[1], work);
    }
    ::close(ends[1]);
    if (child < 0) {
        ::close(ends[0]);
        return reading;
    }
    const Clock::time_point deadline = Clock::now() + timeLimit;
    QByteArray received;
    std::vector<char> buffer(64 * 1024);
    ChildReading::Ending ending = ChildReading::Ending::finished;
    for (;;) {
        if (stop != nullptr && stop->isRequested()) {
            ending = ChildReading::Ending::stopped;
            break;
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            ending = ChildReading::Ending::timedOut;
            break;
        }
        pollfd watched[2] = {{ends[0], POLLIN, 0}, {stop ? stop->descriptor() : -1, POLLIN, 0}};
        if (::poll(watched, 2, static_cast<int>(left)) <= 0) {
            continue;
        }
        if ((watched[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        const ssize_t got = ::read(ends[0], buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break; // the child is done (or gone)
        }
        received.append(buffer.data(), got);
        takeMessages(received, reading.messages);
    }
    ::close(ends[0]);
    reading.ending = waitForEnd(child, ending);
    return reading;
}

QString readingEndedEarly(const QString& path, ChildReading::Ending ending,
                          std::chrono::milliseconds timeLimit) {
    if (ending == ChildReading::Ending::stopped) {
        return ReaderTexts::readingStopped(path);
    }
    return ReaderTexts::readingTookTooLong(
        path, std::chrono::ceil<std::chrono::seconds>(timeLimit).count());
}
