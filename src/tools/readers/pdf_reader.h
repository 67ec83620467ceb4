#pragma once

#include "tools/tool_types.h"

// read_pdf: the text layer of the first 100 pages.
ToolOutcome readPdf(const QString& path);
