#pragma once

#include "models/http_exchange.h"
#include "models/model_reply.h"
#include "models/reply_line_reader.h"
#include "models/result.h"
#include "models/wire_messages.h"

#include <QByteArray>
#include <QString>

// The Ollama chat API's wire format, free of any network code.

// Only "role" and "content" strings survive, with an assistant's "tool_calls"
// and a tool result's "tool_name" (Ollama's own shape for native calls); a
// "tool" message without a tool name goes as "user".
WireMessages reduceForOllama(const WireMessages& messages);

// Whether a request offers the model the tool catalogue.
enum class OllamaTools { none, catalogue };

// The request body: "model", the reduced "messages", "stream", the sampling
// "options" and, when asked, the catalogue as "tools". Ollama writes a model's
// tool instructions (the call format and the schemas) into its prompt only
// when the request carries "tools".
QByteArray ollamaChatBody(const QString& model, const WireMessages& messages, bool stream,
                          OllamaTools tools = OllamaTools::none);

// The one-shot answer: native "tool_calls" first, then <tool_call> blocks taken
// out of the model's text. `model` names the model in a "not installed" error.
Result<ModelReply> decodeOllamaReply(const HttpAnswer& answer, const QString& model);

// An answer whose status is not 200: a 404 naming a missing model says so;
// anything else is Ollama's own error text (or its status, without one).
LLMError ollamaStatusError(const HttpAnswer& answer, const QString& model);

// The model writes tool calls as <tool_call> blocks; they become native calls
// with ids "local_" + 8 characters, the text before them the reply text.
ModelReply replyFromModelText(const QString& content);

// One JSON line of a streamed answer; "done": true ends it, an {"error": …}
// line ends it with Ollama's message.
StreamLine readOllamaStreamLine(QByteArrayView line);

// The /api/tags answer lists at least one model whose name begins with "qwen".
bool listsQwenModel(const HttpAnswer& answer);
