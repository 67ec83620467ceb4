// Tool calls written as text by a local model.

#include "tools/tool_call_parser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString reply =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ToolCallParse parse = parseToolCalls(reply);
    // Nothing is invented: the texts come from the reply, and without calls the
    // text is the whole reply, trimmed.
    if (parse.text.size() > reply.size() || parse.remainder.size() > reply.size()) {
        __builtin_trap();
    }
    if (parse.calls.isEmpty() && (parse.text != reply.trimmed() || !parse.remainder.isEmpty())) {
        __builtin_trap();
    }
    return 0;
}
