#pragma once

#include "tools/files/file_tool_texts.h"
#include "tools/tool_types.h"

#include <chrono>

class ToolStop;

// run_command: one zsh command with its exit code and output; whatever it
// leaves running is ended when it returns, and said so. The timeout is a
// parameter so that tests need not wait the full 30 seconds.
ToolOutcome runCommand(
    const QString& command,
    std::chrono::milliseconds timeout = std::chrono::seconds(FileToolLimits::commandTimeoutSeconds),
    const ToolStop* stop = nullptr);
