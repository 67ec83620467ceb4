#pragma once

#include "tools/readers/reader_child.h"
#include "tools/tool_types.h"

class ToolStop;

// read_image: text recognised in the first image of the file, by the
// recognition helper (emberglass-ocr), which the time limit or a Stop ends.
ToolOutcome readImage(const QString& path, const ToolStop* stop = nullptr,
                      std::chrono::milliseconds timeLimit = readerTimeLimit);
