#include "tools/files/process_sweep.h"

#include "tools/files/unique_descriptor.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <set>

namespace {

constexpr const char* tagName = "EMBERGLASS_COMMAND_TAG=";
// Each round ends what the last one found; a process forking as fast as it
// can still cannot outrun this many.
constexpr int maximumRounds = 64;
// An exec takes moments, not rounds: a few more looks see it through.
constexpr int maximumUnsureRounds = 8;

std::string readWhole(const std::string& path) {
    const UniqueDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::string bytes;
    if (!file.isOpen()) {
        return bytes;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

// Whether the process is alive (not a zombie) and in the session or tagged;
// its process group goes to group.
// A process in the middle of exec shows no environment for a moment: unsure
// then says so, and the sweep looks once more.
bool isLeftover(pid_t pid, pid_t session, const std::string& tag, long* group = nullptr,
                bool* unsure = nullptr) {
    const std::string directory = "/proc/" + std::to_string(pid);
    const std::string stat = readWhole(directory + "/stat");
    // The name in parentheses may hold anything, so fields count from the last ')'.
    const std::size_t afterName = stat.rfind(')');
    if (afterName == std::string::npos || afterName + 2 >= stat.size()) {
        return false;
    }
    char state = 0;
    long parent = 0;
    long itsGroup = 0;
    long itsSession = 0;
    if (std::sscanf(stat.c_str() + afterName + 2, "%c %ld %ld %ld", &state, &parent, &itsGroup,
                    &itsSession) != 4 ||
        state == 'Z' || state == 'X') {
        return false;
    }
    if (group != nullptr) {
        *group = itsGroup;
    }
    if (itsSession == session) {
        return true;
    }
    // Entries end with NUL; a leading NUL makes the first one match like the rest.
    const std::string variables = readWhole(directory + "/environ");
    const bool kernelThread = pid == 2 || parent == 2;
    if (variables.empty() && !kernelThread && unsure != nullptr) {
        *unsure = true;
    }
    const std::string environment = '\0' + variables;
    return environment.find('\0' + tag + '\0') != std::string::npos;
}

// By a pidfd when the system has them, so that a number reused meanwhile by
// some other process is never signalled.
bool endProcess(pid_t pid, pid_t session, const std::string& tag) {
#if defined(SYS_pidfd_open) && defined(SYS_pidfd_send_signal)
    const UniqueDescriptor handle(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (handle.isOpen()) {
        return isLeftover(pid, session, tag) &&
               ::syscall(SYS_pidfd_send_signal, handle.get(), SIGKILL, nullptr, 0) == 0;
    }
#endif
    return ::kill(pid, SIGKILL) == 0;
}

} // namespace

std::string newCommandTag() {
    unsigned char random[12] = {};
    std::size_t filled = 0;
    while (filled < sizeof random) {
        const ssize_t got = ::getrandom(random + filled, sizeof random - filled, 0);
        if (got <= 0 && errno != EINTR) {
            break;
        }
        filled += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    std::string tag = tagName;
    char hex[3];
    for (const unsigned char byte : random) {
        std::snprintf(hex, sizeof hex, "%02x", byte);
        tag += hex;
    }
    // Without randomness the process number and the clock still tell commands apart.
    tag += '-' + std::to_string(::getpid()) + '-' + std::to_string(::clock());
    return tag;
}

int endLeftoverProcesses(pid_t session, const std::string& tag, pid_t signalledGroup) {
    const pid_t self = ::getpid();
    std::set<pid_t> ended;
    int alreadySignalled = 0;
    int unsureRounds = 0;
    for (int round = 0; round < maximumRounds; ++round) {
        DIR* processes = ::opendir("/proc");
        if (processes == nullptr) {
            break;
        }
        bool foundNew = false;
        bool unsure = false;
        while (const dirent* entry = ::readdir(processes)) {
            char* end = nullptr;
            const long number = std::strtol(entry->d_name, &end, 10);
            const auto pid = static_cast<pid_t>(number);
            long group = 0;
            if (*end != '\0' || number <= 0 || pid == self ||
                !isLeftover(pid, session, tag, &group, &unsure)) {
                continue;
            }
            if (endProcess(pid, session, tag) && ended.insert(pid).second) {
                foundNew = true;
                // Some may already be on their way out: not counted as left behind.
                if (group == signalledGroup) {
                    ++alreadySignalled;
                }
            }
        }
        ::closedir(processes);
        if (!foundNew && (!unsure || ++unsureRounds > maximumUnsureRounds)) {
            break;
        }
    }
    return static_cast<int>(ended.size()) - alreadySignalled;
}
