#include "tools/files/child_process.h"

#include "storage/platform_error.h"
#include "tools/files/child_supervisor.h"
#include "tools/files/process_sweep.h"
#include "tools/files/unique_descriptor.h"
#include "tools/local_path.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

struct Pipe {
    UniqueDescriptor readEnd;
    UniqueDescriptor writeEnd;
};

// Both ends close on exec, so children started meanwhile by other threads
// never hold them; only the reading end is non-blocking, the child writes
// normally.
bool openPipe(Pipe& pipe) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return false;
    }
    pipe.readEnd.reset(ends[0]);
    pipe.writeEnd.reset(ends[1]);
    return ::fcntl(ends[0], F_SETFL, O_NONBLOCK) == 0;
}

class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

// The child starts with no blocked signals and default signal handling, whatever
// the application's threads have set, in a new session: a process group to
// signal as a whole, and no terminal to stop or prompt on.
// The application's environment, with the command's tag in place of any it inherited.
std::vector<char*> environmentWith(std::string& tag) {
    std::vector<char*> entries;
    const std::size_t nameLength = tag.find('=') + 1;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, tag.c_str(), nameLength) != 0) {
            entries.push_back(*entry);
        }
    }
    entries.push_back(tag.data());
    entries.push_back(nullptr);
    return entries;
}

int spawnChild(const ChildProcessRequest& request, int outputEnd, int errorEnd, std::string& tag,
               pid_t& pid) {
    SpawnSetup setup;
    sigset_t noSignals;
    sigset_t allSignals;
    sigemptyset(&noSignals);
    sigfillset(&allSignals);
    posix_spawnattr_setflags(&setup.attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setsigmask(&setup.attributes, &noSignals);
    posix_spawnattr_setsigdefault(&setup.attributes, &allSignals);

    std::vector<QByteArray> arguments;
    for (const QString& text : QStringList{request.program} + request.arguments) {
        const std::optional<QByteArray> bytes = systemBytes(text);
        if (!bytes) {
            return EINVAL;
        }
        arguments.push_back(*bytes);
    }
    const std::optional<QByteArray> directory = systemBytes(request.workingDirectory);
    if (!directory) {
        return EINVAL;
    }

    // Standard input is never the application's: a command reading it would take
    // the user's keys or the chat's queued messages.
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, outputEnd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, errorEnd, STDERR_FILENO);
    if (!directory->isEmpty()) {
        posix_spawn_file_actions_addchdir_np(&setup.actions, directory->constData());
    }
    std::vector<char*> argumentVector;
    for (QByteArray& argument : arguments) {
        argumentVector.push_back(argument.data());
    }
    argumentVector.push_back(nullptr);
    // glibc reports a failed chdir or exec as the return value.
    std::vector<char*> environment = environmentWith(tag);
    return posix_spawn(&pid, argumentVector.front(), &setup.actions, &setup.attributes,
                       argumentVector.data(), environment.data());
}

} // namespace

ChildProcessResult runChildProcess(const ChildProcessRequest& request,
                                   const ChildOutputSink& onStandardOutput,
                                   const ChildOutputSink& onStandardError) {
    Pipe output;
    Pipe error;
    if (!openPipe(output) || !openPipe(error)) {
        return {platformErrorDescription(errno)};
    }
    pid_t pid = -1;
    std::string tag = newCommandTag();
    const int spawnError =
        spawnChild(request, output.writeEnd.get(), error.writeEnd.get(), tag, pid);
    // From here only the child (and its descendants) hold the writing ends.
    output.writeEnd.reset();
    error.writeEnd.reset();
    if (spawnError != 0) {
        return {platformErrorDescription(spawnError)};
    }
    ChildSupervisor supervisor(pid, request.timeout, {request.stop, tag});
    supervisor.watch(std::move(output.readEnd), onStandardOutput);
    supervisor.watch(std::move(error.readEnd), onStandardError);
    return supervisor.run();
}
