#pragma once

#include "tools/tool_types.h"

// read_file, write_file and list_directory. Paths may start with "~"; messages
// quote the path as given. Safe to call from any thread.
ToolOutcome readFile(const QString& path);
ToolOutcome writeFile(const QString& path, const QString& content);
ToolOutcome listDirectory(const QString& path);
