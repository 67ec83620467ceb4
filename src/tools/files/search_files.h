#pragma once

#include "tools/tool_types.h"

// search_files: the names of files under directory that contain pattern.
ToolOutcome searchFiles(const QString& directory, const QString& pattern);
