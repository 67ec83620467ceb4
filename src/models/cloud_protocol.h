#pragma once

#include "models/http_exchange.h"
#include "models/model_reply.h"
#include "models/reply_line_reader.h"
#include "models/result.h"
#include "models/wire_messages.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

// The chat-completions wire format, free of any network code.

// The request body: "model", "messages" unchanged and "stream"; the one-shot
// request also carries the tool catalogue as "tools", and `asked`: members the
// provider refused requests with tools without. Nothing else.
QByteArray cloudChatBody(const QString& model, const WireMessages& messages, bool stream,
                         const QJsonObject& asked = {});

// The members a refused request with tools must add to be taken, when the
// refusal asks for them; nothing for any other answer.
std::optional<QJsonObject> membersAskedFor(const HttpAnswer& answer);

// The one-shot answer: status 200 with a "choices" reply, or the error to show.
Result<ModelReply> decodeCloudReply(const HttpAnswer& answer);

// The tool calls of one reply message ("tool_calls"), malformed entries skipped.
// Members beside "id", "type" and "function" are kept as the call's extras; a
// missing or empty id is replaced by one of ours.
QList<NativeToolCall> decodeCloudToolCalls(const QJsonValue& toolCalls);

// "call_" and 24 random letters and digits, like the ids providers hand out.
QString generatedCallId();

// One server-sent-events line: "data: " + a chunk's delta text, "[DONE]", or a
// chunk holding an "error" object, which ends the stream with its message.
StreamLine readCloudStreamLine(QByteArrayView line);

// The model ids of a 200 "/models" answer ({"data": [{"id": …}, …]}), as
// listed; empty when the answer lists none.
QStringList decodeModelList(const HttpAnswer& answer);
