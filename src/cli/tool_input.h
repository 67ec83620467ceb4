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

// The input, or nothing when the command line is not NAME [JSON-OBJECT | -];
// *problem then says what is wrong.
std::optional<ToolInput> readToolInput(const QStringList& commandLine, QString* problem);
