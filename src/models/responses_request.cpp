#include "models/responses_request.h"

#include "tools/tool_catalogue.h"

#include <QJsonDocument>

namespace {

const QLatin1String typeKey("type");
const QLatin1String roleKey("role");
const QLatin1String contentKey("content");
const QLatin1String callIdKey("call_id");
const QLatin1String toolCallsKey("tool_calls");

// The chat-completions catalogue in the Responses shape. Responses makes an
// omitted "strict" strict, which would make every optional parameter required.
QJsonArray responsesTools() {
    QJsonArray tools;
    for (const QJsonValue& tool : toolDefinitions()) {
        const QJsonObject function = tool.toObject().value(QLatin1String("function")).toObject();
        QJsonObject flat = function;
        flat.insert(typeKey, QLatin1String("function"));
        flat.insert(QLatin1String("strict"), false);
        tools.append(flat);
    }
    return tools;
}

QJsonObject textItem(const QJsonObject& message) {
    return {{typeKey, QLatin1String("message")},
            {roleKey, message.value(roleKey)},
            {contentKey, message.value(contentKey)}};
}

// An assistant turn: its text, then each call after the reasoning that led to it.
void appendAssistantItems(const QJsonObject& message, QJsonArray& input) {
    const QJsonValue content = message.value(contentKey);
    if (!content.isNull() && !content.isUndefined() && content != QJsonValue(QString())) {
        input.append(textItem(message));
    }
    for (const QJsonValue& value : message.value(toolCallsKey).toArray()) {
        const QJsonObject call = value.toObject();
        for (const QJsonValue& reasoning : call.value(responsesReasoningKey).toArray()) {
            input.append(reasoning);
        }
        const QJsonObject function = call.value(QLatin1String("function")).toObject();
        input.append(
            QJsonObject{{typeKey, QLatin1String("function_call")},
                        {callIdKey, call.value(QLatin1String("id"))},
                        {QLatin1String("name"), function.value(QLatin1String("name"))},
                        {QLatin1String("arguments"), function.value(QLatin1String("arguments"))}});
    }
}

QJsonArray inputItems(const WireMessages& messages) {
    QJsonArray input;
    for (const QJsonValue& value : messages) {
        const QJsonObject message = value.toObject();
        const QString role = message.value(roleKey).toString();
        if (role == QLatin1String("tool")) {
            input.append(QJsonObject{{typeKey, QLatin1String("function_call_output")},
                                     {callIdKey, message.value(QLatin1String("tool_call_id"))},
                                     {QLatin1String("output"), message.value(contentKey)}});
        } else if (role == QLatin1String("assistant")) {
            appendAssistantItems(message, input);
        } else {
            input.append(textItem(message));
        }
    }
    return input;
}

} // namespace

QByteArray responsesBody(const QString& model, const WireMessages& messages, bool stream,
                         ChatTools tools) {
    QJsonObject body{{QLatin1String("model"), model},
                     {QLatin1String("input"), inputItems(messages)},
                     {QLatin1String("stream"), stream},
                     {QLatin1String("store"), false}};
    if (tools == ChatTools::catalogue) {
        body.insert(QLatin1String("tools"), responsesTools());
        body.insert(QLatin1String("include"),
                    QJsonArray{QLatin1String("reasoning.encrypted_content")});
    }
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

WireMessages withoutResponsesMembers(WireMessages messages) {
    for (QJsonValueRef value : messages) {
        QJsonObject message = value.toObject();
        if (!message.contains(toolCallsKey)) {
            continue;
        }
        QJsonArray calls = message.value(toolCallsKey).toArray();
        for (QJsonValueRef call : calls) {
            QJsonObject object = call.toObject();
            object.remove(responsesReasoningKey);
            call = object;
        }
        message.insert(toolCallsKey, calls);
        value = message;
    }
    return messages;
}
