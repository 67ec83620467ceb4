#pragma once

#include "tools/files/utf8_text.h"

#include <QString>

// The text run_command shows for a command's two streams: standard output, then
// standard error after a "[stderr] " label, or "(no output)". A stream that is
// not valid UTF-8 counts as empty. Text of more than the limit in UTF-8 bytes is
// cut to the limit in characters (user-perceived ones, so that no accent or
// emoji is split) and marked as cut.
QString combineCommandOutput(const Utf8StreamCapture& standardOutput,
                             const Utf8StreamCapture& standardError, qsizetype limit);
