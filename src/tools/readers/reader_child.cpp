#include "tools/readers/reader_child.h"

#include "tools/readers/reader_texts.h"
#include "tools/tool_stop.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
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
    work([descriptor](QByteArrayView message) {
        if (!sendReaderMessage(descriptor, message)) {
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

// Reads the child's messages until it is done, the time limit or a Stop (then
// it is killed); closes `descriptor` and reaps the child.
ChildReading collect(pid_t child, int descriptor, std::chrono::milliseconds timeLimit,
                     const ToolStop* stop) {
    ChildReading reading;
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
        pollfd watched[2] = {{descriptor, POLLIN, 0}, {stop ? stop->descriptor() : -1, POLLIN, 0}};
        if (::poll(watched, 2, static_cast<int>(left)) <= 0) {
            continue;
        }
        if ((watched[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        const ssize_t got = ::read(descriptor, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break; // the child is done (or gone)
        }
        received.append(buffer.data(), got);
        takeMessages(received, reading.messages);
    }
    ::close(descriptor);
    reading.ending = waitForEnd(child, ending);
    return reading;
}

} // namespace

bool sendReaderMessage(int descriptor, QByteArrayView message) {
    // Each message goes as its length, then its bytes.
    const auto length = static_cast<std::uint32_t>(message.size());
    return writeAll(descriptor, reinterpret_cast<const char*>(&length), sizeof length) &&
           writeAll(descriptor, message.data(), message.size());
}

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
    return collect(child, ends[0], timeLimit, stop);
}

ChildReading readFromProgram(const QByteArray& program, int input,
                             std::chrono::milliseconds timeLimit, const ToolStop* stop) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return {};
    }
    // posix_spawn starts the program without running anything of this
    // (multi-threaded) process in the child.
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (input >= 0) {
        ::posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    } else {
        ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    ::posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string name = program.toStdString();
    char* arguments[] = {name.data(), nullptr};
    pid_t child = -1;
    const int spawned = ::posix_spawn(&child, name.c_str(), &actions, nullptr, arguments, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (spawned != 0) {
        ::close(ends[0]);
        return {};
    }
    return collect(child, ends[0], timeLimit, stop);
}

QString readingEndedEarly(const QString& path, ChildReading::Ending ending,
                          std::chrono::milliseconds timeLimit) {
    if (ending == ChildReading::Ending::stopped) {
        return ReaderTexts::readingStopped(path);
    }
    return ReaderTexts::readingTookTooLong(
        path, std::chrono::ceil<std::chrono::seconds>(timeLimit).count());
}
