#pragma once

#include "models/cloud_protocol.h"
#include "models/wire_messages.h"

#include <QByteArray>
#include <QLatin1String>
#include <QString>

// The Responses API request, built from the chat-completions message list the
// rest of the system prepares, free of any network code.

// The tool-call member holding the reasoning items the Responses API answered
// before that call; sent back with the call, and only to that API.
inline constexpr QLatin1String responsesReasoningKey("responses_reasoning");

// The body for POST /responses: "model", "input" (the messages as input items:
// text messages as they are, each tool call as its reasoning items and a
// "function_call", each result as a "function_call_output"), "stream", and
// "store": false, since nothing is kept on the provider's side. A request with
// the catalogue also carries the tools (non-strict, as on chat completions) and
// asks for the reasoning back encrypted, which the next request returns.
QByteArray responsesBody(const QString& model, const WireMessages& messages, bool stream,
                         ChatTools tools);

// `messages` without the members only the Responses API reads: another API
// refuses or misreads them.
WireMessages withoutResponsesMembers(WireMessages messages);
