#include "core/conversation.h"

QString toText(Role role) {
    switch (role) {
    case Role::user:
        return QStringLiteral("user");
    case Role::assistant:
        return QStringLiteral("assistant");
    case Role::system:
        return QStringLiteral("system");
    case Role::tool:
        return QStringLiteral("tool");
    }
    return {};
}

std::optional<Role> roleFromText(const QString& text) {
    for (Role role : {Role::user, Role::assistant, Role::system, Role::tool}) {
        if (toText(role) == text) {
            return role;
        }
    }
    return std::nullopt;
}

ChatMessage ChatMessage::make(Role role, QString content) {
    ChatMessage message;
    message.id = QUuid::createUuid();
    message.role = role;
    message.content = std::move(content);
    message.timestamp = QDateTime::currentDateTime();
    return message;
}

Conversation Conversation::make(QString title) {
    Conversation conversation;
    conversation.id = QUuid::createUuid();
    conversation.title = std::move(title);
    conversation.createdAt = QDateTime::currentDateTime();
    conversation.updatedAt = conversation.createdAt;
    return conversation;
}
