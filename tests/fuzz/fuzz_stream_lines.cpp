// The streamed-reply path of both model clients: bytes cut into lines, each line
// read as a server-sent event (cloud) and as a JSON line (Ollama).

#include "models/cloud_protocol.h"
#include "models/line_splitter.h"
#include "models/ollama_protocol.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t piece = 1 + data[0] % 32;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    size_t remaining = size - 1;
    LineSplitter splitter(4096);
    QByteArrayList lines;
    while (remaining > 0) {
        const size_t take = remaining < piece ? remaining : piece;
        lines += splitter.feed(QByteArrayView(bytes, static_cast<qsizetype>(take)));
        bytes += take;
        remaining -= take;
    }
    if (std::optional<QByteArray> last = splitter.finish()) {
        lines << *last;
    }
    for (const QByteArray& line : lines) {
        // A line never holds its own break, and stays within the limit.
        if (line.contains('\n') || line.size() > 4096) {
            __builtin_trap();
        }
        const StreamLine cloud = readCloudStreamLine(line);
        const StreamLine ollama = readOllamaStreamLine(line);
        (void)cloud;
        (void)ollama;
    }
    return 0;
}
