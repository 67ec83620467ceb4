#pragma once

#include "tools/files/child_process.h"

#include <QString>
#include <QStringList>

// run_command's optional confinement under bubblewrap: the whole file system
// read-only except the home folder and a private /tmp, the places that hold
// credentials (keys, tokens, browser profiles, this app's settings) hidden
// behind empty read-only ones, the network unchanged.
//
// One switch for the process: the desktop app sets it from its preference and
// emberglass-chat from its settings or --sandbox. Tools run on worker threads;
// every function here is safe to call from any of them.
namespace CommandSandbox {

void setEnabled(bool enabled);
bool isEnabled();

// Whether bubblewrap runs here; `reason` says why not ("bubblewrap is not
// installed", or bwrap's own complaint, such as user namespaces being off).
struct Availability {
    bool available = false;
    QString reason;
};
// Runs `program --ro-bind / / --dev /dev true` once and judges its answer.
Availability probe(const QString& program);
// The probe of the installed bwrap, run at the first call and remembered for
// the life of the process; the first call blocks for its run.
Availability availability();

// What the sandbox hides, as absolute paths; only what exists is listed, since
// hiding a missing path would make bwrap create it in the real home folder.
struct Layout {
    QString home; // "/" or empty: no writable home
    QStringList hiddenFolders;
    QStringList hiddenFiles;
};
// From $HOME and $XDG_CONFIG_HOME as they are now.
Layout currentLayout();

// bwrap's options for the layout, to be followed by the program and its arguments.
QStringList bwrapOptions(const Layout& layout);

// A request made ready to run: unchanged while the sandbox is off; run through
// bwrap while it is on; refused, with the reason for the model, while it is on
// but bubblewrap cannot run (the command is never run unconfined instead).
struct PreparedCommand {
    ChildProcessRequest request;
    bool confined = false;
    Layout layout;
    QString refusal;
};
PreparedCommand prepare(ChildProcessRequest request);
// The same with a given bwrap and what its probe found.
PreparedCommand prepare(ChildProcessRequest request, const QString& program,
                        const Availability& availability);

// The note appended to a confined command's result when its failure looks like
// the sandbox's doing, else empty. The judgement: the command failed (a
// non-zero exit, not the timeout) and either its standard error reports a
// read-only file system (EROFS: a write outside the home folder and /tmp) or
// the command or its standard error names a hidden place (a credential folder
// looks empty, so reading in it fails with "No such file or directory").
QString failureNote(const PreparedCommand& command, const QString& commandText, int status,
                    bool timedOut, const QString& standardError);

} // namespace CommandSandbox
