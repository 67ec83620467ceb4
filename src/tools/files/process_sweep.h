#pragma once

#include <sys/types.h>

#include <string>

// What a command leaves behind when its shell has ended: every process still in
// the session the child led (jobs sent to the background with "&" or nohup), and
// every process whose environment carries the command's tag, which survives a
// new session (setsid, setsid -f) and a double fork that leaves the child to
// init. What starts with a fresh environment outside the session (systemd-run
// --user, env -i setsid -f) is out of reach, and is the way to keep a daemon.

// A new "NAME=value" entry, unique to one command, for its environment.
std::string newCommandTag();

// Ends (SIGKILL) every such process but the caller itself, until none is
// left, and answers how many it ended. Zombies are already ended and not
// counted, nor are members of signalledGroup (0: none), the group a timeout
// or Stop has already signalled: those were ended with the command, not left
// behind, and may be dying at this moment. Uses no Qt objects, so any thread
// may call it.
int endLeftoverProcesses(pid_t session, const std::string& tag, pid_t signalledGroup = 0);
