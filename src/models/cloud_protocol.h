#pragma once

#include "models/http_exchange.h"
#include "models/model_reply.h"
#include "models/reply_line_reader.h"
#include "models/result.h"
#include "models/wire_messages.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

// The chat-completions wire format, free of any network code.

// Whether a request offers the model the tool catalogue.
enum class ChatTools { none, catalogue };

// The request body: "model", "messages" unchanged and "stream"; a request with
// the catalogue carries it as "tools", and `asked`: members the provider
// refused requests with tools without. Nothing else.
QByteArray cloudChatBody(const QString& model, const WireMessages& messages, bool stream,
                         ChatTools tools, const QJsonObject& asked = {});

// The members a refused request with tools must add to be taken, when the
// refusal asks for them; nothing for any other answer.
std::optional<QJsonObject> membersAskedFor(const HttpAnswer& answer);

// The error an answer whose status is not 200 stands for: the provider's words
// (or the status when it sent none), with the wait a 429 or 503 asks for
// (a date in Retry-After is counted from `now`).
CloudError cloudStatusError(const HttpAnswer& answer, const QDateTime& now);

// A 200 answer's body as JSON, or the error that says what came instead (a
// sign-in page or a wrong base URL answers 200 with HTML), with the parser's words.
Result<QJsonDocument> answerJson(const HttpAnswer& answer);

// The one-shot answer: status 200 with a "choices" reply that has text or tool
// calls, or the error to show (a reply with neither says why: its finish_reason).
Result<ModelReply> decodeCloudReply(const HttpAnswer& answer, const QDateTime& now);

// The tool calls of one reply message ("tool_calls"); an entry that cannot be
// read fails them all, naming its tool. Arguments as a JSON object are taken
// as they are. Members beside "id", "type" and "function" are kept as the
// call's extras; a missing or empty id is replaced by one of ours.
Result<QList<NativeToolCall>> decodeCloudToolCalls(const QJsonValue& toolCalls);

// Why a reply that carries neither text nor calls has none, by its finish
// reason: "length" (the output limit), "content_filter", else an empty answer.
// Every client reads an answer that is no answer with these words.
CloudError emptyReplyError(const QString& finishReason);

// "call_" and 24 random letters and digits, like the ids providers hand out.
QString generatedCallId();

// One server-sent-events line: "data: " + a chunk's delta text, "[DONE]", or a
// chunk holding an "error" object, which ends the stream with its message.
StreamLine readCloudStreamLine(QByteArrayView line);

// The model ids of a 200 "/models" answer ({"data": [{"id": …}, …]}), as
// listed; an answer of another shape is said to be no model list.
Result<QStringList> decodeModelList(const HttpAnswer& answer);
