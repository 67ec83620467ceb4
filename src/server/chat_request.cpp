#include "server/chat_request.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool holdsOnlyStrings(const QJsonObject& message) {
    for (auto it = message.begin(); it != message.end(); ++it) {
        if (!it.value().isString()) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<ChatRequest> parseChatRequest(const QByteArray& body) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonValue messages = document.object().value(QStringLiteral("messages"));
    if (!messages.isArray()) {
        return std::nullopt;
    }
    ChatRequest request;
    request.messages = messages.toArray();
    for (const QJsonValue& value : request.messages) {
        if (!value.isObject() || !holdsOnlyStrings(value.toObject())) {
            return std::nullopt;
        }
        const QJsonObject message = value.toObject();
        if (message.value(QStringLiteral("role")).toString() == QLatin1String("user")) {
            const QJsonValue content = message.value(QStringLiteral("content"));
            request.lastUserText =
                content.isString() ? std::optional<QString>(content.toString()) : std::nullopt;
        }
    }
    return request;
}

WireMessages modelMessages(const QString& systemPrompt, const WireMessages& messages) {
    WireMessages list;
    if (!systemPrompt.isEmpty()) {
        list.append(QJsonObject{{QStringLiteral("role"), QStringLiteral("system")},
                                {QStringLiteral("content"), systemPrompt}});
    }
    for (const QJsonValue& message : messages) {
        list.append(message);
    }
    return list;
}
