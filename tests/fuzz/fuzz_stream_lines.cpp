// The streamed-reply path of both model clients: bytes cut into lines, each line
// read as a server-sent event (cloud) and as a JSON line (Ollama).

#include "models/cloud_protocol.h"
#include "models/line_splitter.h"
#include "models/ollama_protocol.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t piece = 1 + data[0] % 32;
    LineSplitter splitter(4096);
    QByteArrayList lines;
    for (size_t at = 1; at < size; at += piece) {
        lines += splitter.feed(QByteArrayView(data + at, qsizetype(std::min(piece, size - at))));
    }
    if (std::optional<QByteArray> last = splitter.finish()) {
        lines << *last;
    }
    for (const QByteArray& line : lines) {
        // A line never holds its own break, and stays within the limit.
        if (line.contains('\n') || line.size() > 4096) {
            __builtin_trap();
        }
        (void)readCloudStreamLine(line);
        (void)readOllamaStreamLine(line);
    }
    return 0;
}
