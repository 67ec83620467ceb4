// The phone server's request reader, fed in the pieces a network would cut.

#include "server/http_request_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using Outcome = HttpRequestReader::Outcome;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the read size, so requests arrive split anywhere.
    const size_t piece = 1 + data[0] % 64;
    HttpRequestReader reader;
    Outcome outcome = Outcome::needMore;
    for (size_t at = 1; at < size && outcome == Outcome::needMore; at += piece) {
        outcome = reader.append(QByteArrayView(data + at, qsizetype(std::min(piece, size - at))));
    }
    if (outcome == Outcome::needMore) {
        outcome = reader.finish();
    }
    // A complete request has a body no longer than the body limit.
    if (outcome == Outcome::complete &&
        reader.request().body.size() > HttpRequestReader::kMaxBodySize) {
        __builtin_trap();
    }
    return 0;
}
