#include "core/message_record.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject callObject(const ToolCallInfo& call) {
    QJsonObject args;
    for (auto it = call.args.begin(); it != call.args.end(); ++it) {
        args.insert(it.key(), it.value());
    }
    QJsonObject object{{QStringLiteral("id"), call.callId},
                       {QStringLiteral("tool"), call.tool},
                       {QStringLiteral("args"), args},
                       {QStringLiteral("raw"), call.rawArguments}};
    if (!call.extras.isEmpty()) {
        object.insert(QStringLiteral("extras"), call.extras);
    }
    if (call.writtenAsText) {
        object.insert(QStringLiteral("text"), true);
    }
    return object;
}

ToolCallInfo readCall(const QJsonObject& object) {
    ToolCallInfo call;
    call.callId = object[QStringLiteral("id")].toString();
    call.tool = object[QStringLiteral("tool")].toString();
    const QJsonObject args = object[QStringLiteral("args")].toObject();
    for (auto it = args.begin(); it != args.end(); ++it) {
        call.args.insert(it.key(), it.value().toString());
    }
    call.rawArguments = object[QStringLiteral("raw")].toString();
    call.extras = object[QStringLiteral("extras")].toObject();
    call.writtenAsText = object[QStringLiteral("text")].toBool();
    return call;
}

std::optional<ReplyFailure> failureFromText(const QString& text) {
    for (ReplyFailure failure : {ReplyFailure::retry, ReplyFailure::settings}) {
        if (toText(failure) == text) {
            return failure;
        }
    }
    return std::nullopt;
}

} // namespace

QByteArray messageDetails(const ChatMessage& message) {
    QJsonObject object;
    if (message.toolCall) {
        object.insert(QStringLiteral("call"), callObject(*message.toolCall));
    }
    if (message.toolResult) {
        const ToolResultInfo& result = *message.toolResult;
        object.insert(QStringLiteral("result"),
                      QJsonObject{{QStringLiteral("callId"), result.toolCallId},
                                  {QStringLiteral("tool"), result.tool},
                                  {QStringLiteral("success"), result.success},
                                  {QStringLiteral("output"), result.output}});
    }
    if (message.reasoningContent) {
        object.insert(QStringLiteral("reasoning"), *message.reasoningContent);
    }
    if (!message.notice.isEmpty()) {
        object.insert(QStringLiteral("notice"), message.notice);
    }
    if (message.failure) {
        object.insert(QStringLiteral("failure"), toText(*message.failure));
    }
    return object.isEmpty() ? QByteArray() : QJsonDocument(object).toJson(QJsonDocument::Compact);
}

void readMessageDetails(const QByteArray& json, ChatMessage& message) {
    if (json.isEmpty()) {
        return;
    }
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    if (object.contains(QStringLiteral("call"))) {
        message.toolCall = readCall(object[QStringLiteral("call")].toObject());
    }
    if (object.contains(QStringLiteral("result"))) {
        const QJsonObject result = object[QStringLiteral("result")].toObject();
        message.toolResult = ToolResultInfo{result[QStringLiteral("callId")].toString(),
                                            result[QStringLiteral("tool")].toString(),
                                            result[QStringLiteral("success")].toBool(),
                                            result[QStringLiteral("output")].toString()};
    }
    if (object.contains(QStringLiteral("reasoning"))) {
        message.reasoningContent = object[QStringLiteral("reasoning")].toString();
    }
    message.notice = object[QStringLiteral("notice")].toString();
    message.failure = failureFromText(object[QStringLiteral("failure")].toString());
}
