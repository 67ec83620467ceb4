#pragma once

#include "tools/readers/reader_child.h"
#include "tools/tool_types.h"

class ToolStop;

// read_pdf: the text layer of the first 100 pages, read in a child process that
// the time limit or a Stop ends (the pages read by then are kept).
ToolOutcome readPdf(const QString& path, const ToolStop* stop = nullptr,
                    std::chrono::milliseconds timeLimit = readerTimeLimit);
