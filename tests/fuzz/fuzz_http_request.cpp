// The phone server's request reader, fed in the pieces a network would cut.

#include "server/http_request_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the read size, so requests arrive split anywhere.
    const size_t piece = 1 + data[0] % 64;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    size_t remaining = size - 1;
    HttpRequestReader reader;
    HttpRequestReader::Outcome outcome = HttpRequestReader::Outcome::needMore;
    while (remaining > 0 && outcome == HttpRequestReader::Outcome::needMore) {
        const size_t take = remaining < piece ? remaining : piece;
        outcome = reader.append(QByteArrayView(bytes, static_cast<qsizetype>(take)));
        bytes += take;
        remaining -= take;
    }
    if (outcome == HttpRequestReader::Outcome::needMore) {
        outcome = reader.finish();
    }
    if (outcome == HttpRequestReader::Outcome::complete) {
        // A complete request has a body no longer than the body limit.
        if (reader.request().body.size() > HttpRequestReader::kMaxBodySize) {
            __builtin_trap();
        }
    }
    return 0;
}
