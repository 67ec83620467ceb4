#pragma once

#include "models/http_exchange.h"
#include "models/model_reply.h"
#include "models/result.h"

// The one-shot Responses API answer, free of any network code: status 200 with
// a response object, read as the rest of the system reads a chat reply (the
// text of its messages, its function calls with their call_id as the id), or
// the error to show. The reasoning items before a call are kept as that call's
// extras (under responsesReasoningKey) when they carry their encrypted content,
// which is what a stateless request can send back; the reasoning before a
// final answer is not needed again.
// A refusal's Retry-After date is counted from `now`.
Result<ModelReply> decodeResponsesReply(const HttpAnswer& answer, const QDateTime& now);
