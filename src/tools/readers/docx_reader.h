#pragma once

#include "tools/tool_types.h"

// read_docx: the text of word/document.xml, one line per paragraph.
ToolOutcome readDocx(const QString& path);
