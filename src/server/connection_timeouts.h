#pragma once

#include <chrono>

// How long a phone connection may take over each part of its one exchange.
// The deadlines run from fixed points, so bytes trickled in one by one do not
// extend them: a client cannot hold a connection slot by sending slowly.
struct ConnectionTimeouts {
    // The whole request header, counted from the moment the connection is accepted.
    std::chrono::milliseconds header{10'000};
    // The whole body (at most 1 MiB), counted from the end of the header.
    std::chrono::milliseconds body{30'000};
    // Once the request is in: a peer that takes none of the answer for this
    // long, or that does not close after it, is dropped. Waiting for the
    // model does not count.
    std::chrono::milliseconds idle{30'000};
};
