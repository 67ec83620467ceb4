#include "models/responses_reply.h"

#include "models/cloud_protocol.h"
#include "models/model_texts.h"
#include "models/responses_request.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QLatin1String typeKey("type");

// A message item's text: its output text, or what the model said in refusing.
QString messageText(const QJsonObject& item) {
    QString text;
    for (const QJsonValue& part : item.value(QLatin1String("content")).toArray()) {
        const QString type = part[typeKey].toString();
        if (type == QLatin1String("output_text")) {
            text += part[QLatin1String("text")].toString();
        } else if (type == QLatin1String("refusal")) {
            text += part[QLatin1String("refusal")].toString();
        }
    }
    return text;
}

// A reasoning item as a stateless request sends it back: without the id of an
// item the provider did not store. Nothing when it came without its content.
std::optional<QJsonObject> returnableReasoning(QJsonObject item) {
    if (!item.value(QLatin1String("encrypted_content")).isString()) {
        return std::nullopt;
    }
    item.remove(QLatin1String("id"));
    item.remove(QLatin1String("status"));
    return item;
}

// A function call in the chat-completions shape, so that it is read by the
// same rules as every other provider's.
QJsonObject chatShapedCall(const QJsonObject& item, const QJsonArray& reasoning) {
    QJsonObject call{
        {QLatin1String("id"), item.value(QLatin1String("call_id"))},
        {typeKey, QLatin1String("function")},
        {QLatin1String("function"),
         QJsonObject{{QLatin1String("name"), item.value(QLatin1String("name"))},
                     {QLatin1String("arguments"), item.value(QLatin1String("arguments"))}}}};
    if (!reasoning.isEmpty()) {
        call.insert(responsesReasoningKey, reasoning);
    }
    return call;
}

// Why a response without text or calls has none: the reasons of an
// "incomplete" one read as chat completions' finish reasons, in the same words.
CloudError unansweredError(const QJsonObject& response) {
    const QJsonObject incomplete = response.value(QLatin1String("incomplete_details")).toObject();
    const QString reason = incomplete.value(QLatin1String("reason")).toString();
    if (reason == QLatin1String("max_output_tokens")) {
        return emptyReplyError(QStringLiteral("length"));
    }
    if (reason == QLatin1String("content_filter")) {
        return emptyReplyError(reason);
    }
    if (!incomplete.isEmpty()) {
        return CloudError::detail(ModelTexts::responseIncomplete().arg(reason));
    }
    return emptyReplyError({});
}

} // namespace

Result<ModelReply> decodeResponsesReply(const HttpAnswer& answer, const QDateTime& now) {
    if (answer.status != 200) {
        // Refusals come in the same {"error": …} shape as on chat completions.
        return decodeCloudReply(answer, now).error();
    }
    const Result<QJsonDocument> parsed = answerJson(answer);
    if (!parsed.ok()) {
        return parsed.error();
    }
    const QJsonDocument& document = parsed.value();
    const QJsonValue output = document.object().value(QLatin1String("output"));
    if (!document.isObject() || !output.isArray()) {
        return CloudError::serverError();
    }
    QStringList texts;
    QJsonArray calls;
    QJsonArray reasoning; // since the last call
    for (const QJsonValue& value : output.toArray()) {
        const QJsonObject item = value.toObject();
        const QString type = item.value(typeKey).toString();
        if (type == QLatin1String("message")) {
            if (const QString text = messageText(item); !text.isEmpty()) {
                texts << text;
            }
        } else if (type == QLatin1String("reasoning")) {
            if (const std::optional<QJsonObject> kept = returnableReasoning(item)) {
                reasoning.append(*kept);
            }
        } else if (type == QLatin1String("function_call")) {
            calls.append(chatShapedCall(item, reasoning));
            reasoning = {};
        }
    }
    if (texts.isEmpty() && calls.isEmpty()) {
        return unansweredError(document.object());
    }
    Result<QList<NativeToolCall>> decoded = decodeCloudToolCalls(calls);
    if (!decoded.ok()) {
        return decoded.error();
    }
    return ModelReply{texts.join(QStringLiteral("\n\n")), std::move(decoded.value())};
}
