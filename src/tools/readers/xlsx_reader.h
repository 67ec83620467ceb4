#pragma once

#include "tools/tool_types.h"

// read_xlsx: the cells of the first worksheet part, tab-separated.
ToolOutcome readXlsx(const QString& path);
