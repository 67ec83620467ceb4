#pragma once

#include "tools/tool_types.h"

// read_image: text recognised in the first image of the file.
ToolOutcome readImage(const QString& path);
