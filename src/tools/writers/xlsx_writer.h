#pragma once

#include "tools/tool_types.h"

// create_xlsx: a one-sheet workbook from a JSON array of rows of strings.
ToolOutcome createXlsx(const QString& path, const QString& dataJson);
