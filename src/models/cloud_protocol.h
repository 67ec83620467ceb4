#pragma once

#include "models/http_exchange.h"
#include "models/model_reply.h"
#include "models/reply_line_reader.h"
#include "models/result.h"
#include "models/wire_messages.h"

#include <QByteArray>
#include <QString>

// The chat-completions wire format, free of any network code.

// The request body: "model", "messages" unchanged and "stream"; the one-shot
// request also carries the tool catalogue as "tools". Nothing else.
QByteArray cloudChatBody(const QString& model, const WireMessages& messages, bool stream);

// The one-shot answer: status 200 with a "choices" reply, or the error to show.
Result<ModelReply> decodeCloudReply(const HttpAnswer& answer);

// The tool calls of one reply message ("tool_calls"), malformed entries skipped.
QList<NativeToolCall> decodeCloudToolCalls(const QJsonValue& toolCalls);

// One server-sent-events line: "data: " + a chunk's delta text, or "[DONE]".
StreamLine readCloudStreamLine(QByteArrayView line);
