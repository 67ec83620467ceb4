#pragma once

#include "core/request_sender.h"

#include <functional>

class TextPieceStream;

// Asks for one streamed reply; nothing when no model can answer any more.
using StreamStart = std::function<TextPieceStream*()>;

// A streamed reply (the phone's) that waits out a short rate limit as the
// desktop's requests do: refused before any piece came with a wait of at most
// RequestSender::longestWait, it is asked for once more after `wait` has taken
// that long. A longer wait or a second refusal ends it with the provider's
// error, the wait named. Nothing when `start` gives no stream at first.
TextPieceStream* streamWaitingOutRateLimits(StreamStart start, RequestSender::Wait wait);
