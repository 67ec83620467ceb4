#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>

class ToolStop;

struct ChildProcessRequest {
    QString program; // an absolute path; no search, no shell parsing
    QStringList arguments;
    QString workingDirectory; // empty: the application's own
    std::optional<std::chrono::milliseconds> timeout;
    const ToolStop* stop = nullptr; // when requested, ends the child as a timeout would
};

struct ChildProcessResult {
    QString startError; // the system's reason when the child could not start
    int status = 0;     // the exit code, or the number of the signal that ended it
    bool timedOut = false;
    bool stopped = false;   // ended by the user's Stop
    int endedProcesses = 0; // what the child left running, ended when it was done
};

using ChildOutputSink = std::function<void(QByteArrayView)>;

// Runs one child in a session and process group of its own, with the
// application's environment, /dev/null as standard input and a pipe each for standard
// output and standard error; both pipes are drained into the sinks while it
// runs. At the timeout the group gets SIGTERM, and SIGKILL two seconds later if
// the child is still there; a Stop does the same at once. Once the child has
// ended, every process it left behind is ended (see process_sweep.h), and
// reading stops after a short grace period even when something escaped that
// keeps the pipes open.
// Blocks the calling thread; uses no Qt objects, so any thread may call it.
ChildProcessResult runChildProcess(const ChildProcessRequest& request,
                                   const ChildOutputSink& onStandardOutput,
                                   const ChildOutputSink& onStandardError);
