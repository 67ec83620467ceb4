#pragma once

#include "tools/tool_types.h"

#include <QStringList>

#include <optional>

// The arguments of one emberglass-tool run, from its command line: none, one
// JSON object, or "-" for a JSON object on standard input (Linux refuses a
// single argument over 128 KiB, and a table of 100,000 cells is larger).
struct ToolInput {
    QString tool;
    ToolArguments arguments;
};

// What the command line asks for: a tool run, the usage text or the version.
struct ToolCommand {
    enum class Action { run, help, version };
    Action action = Action::run;
    ToolInput input;
};

// The command, or nothing when the command line is not
// [--help | --version | NAME [JSON-OBJECT | -]]; *problem then says what is wrong.
// Everything after NAME is its argument, never an option.
std::optional<ToolCommand> readToolCommand(const QStringList& commandLine, QString* problem);

// The usage text, with every tool and its one-line description.
QString toolUsage();
QString toolVersion();
