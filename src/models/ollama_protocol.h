#pragma once

#include "models/http_exchange.h"
#include "models/model_reply.h"
#include "models/reply_line_reader.h"
#include "models/result.h"
#include "models/wire_messages.h"

#include <QByteArray>
#include <QString>

// The Ollama chat API's wire format, free of any network code.

// Only "role" and "content" strings survive; a "tool" turn goes as "user".
WireMessages reduceForOllama(const WireMessages& messages);

// The request body: "model", the reduced "messages", "stream" and the
// sampling "options".
QByteArray ollamaChatBody(const QString& model, const WireMessages& messages, bool stream);

// The one-shot answer, with tool calls taken out of the model's text.
Result<ModelReply> decodeOllamaReply(const HttpAnswer& answer);

// The model writes tool calls as <tool_call> blocks; they become native calls
// with ids "local_" + 8 characters, the text before them the reply text.
ModelReply replyFromModelText(const QString& content);

// One JSON line of a streamed answer; "done": true ends it.
StreamLine readOllamaStreamLine(QByteArrayView line);

// The /api/tags answer lists at least one model whose name begins with "qwen".
bool listsQwenModel(const HttpAnswer& answer);
