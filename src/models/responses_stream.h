#pragma once

#include "models/reply_line_reader.h"

#include <QByteArrayView>

// One line of a streamed Responses API answer (server-sent events, each
// "data: " line a JSON event with its "type"): the text of
// "response.output_text.delta" (and of a refusal's delta) is delivered;
// "response.completed" and "response.incomplete" end the answer; an "error"
// event or "response.failed" ends it with the provider's message. Every other
// line is ignored: the "event: " lines repeat the type, and the answer has no
// "[DONE]".
StreamLine readResponsesStreamLine(QByteArrayView line);
