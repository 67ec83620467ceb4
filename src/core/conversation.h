#pragma once

#include "core/reply_failure.h"
#include "tools/tool_types.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <optional>

// The author of a message; compared and stored by its text value.
namespace RoleType {
Q_NAMESPACE
enum class Value { user, assistant, system, tool };
Q_ENUM_NS(Value)
} // namespace RoleType
using Role = RoleType::Value;

QString toText(Role role);
std::optional<Role> roleFromText(const QString& text);

// A tool call as stored in a conversation.
struct ToolCallInfo {
    QString callId;
    QString tool;
    ToolArguments args;
    QString rawArguments;       // sent back to a cloud model exactly as it came
    QJsonObject extras = {};    // the provider's own members of the call, sent back with it
    bool writtenAsText = false; // a <tool_call> block in a local model's text

    bool operator==(const ToolCallInfo&) const = default;
};

// The result of one tool call.
struct ToolResultInfo {
    QString toolCallId;
    QString tool;
    bool success = false;
    QString output;

    bool operator==(const ToolResultInfo&) const = default;
};

struct ChatMessage {
    QUuid id;
    Role role = Role::user;
    QString content;
    QDateTime timestamp;
    std::optional<ToolCallInfo> toolCall;
    std::optional<ToolResultInfo> toolResult;
    // An assistant reply's "reasoning_content", as the provider sent it.
    std::optional<QString> reasoningContent = std::nullopt;
    // A line shown under a reply, never sent to the model: a memory tag that
    // could not be saved.
    QString notice;
    // A reply that ended in an error: what the window offers to mend it.
    std::optional<ReplyFailure> failure = std::nullopt;

    static ChatMessage make(Role role, QString content);
    bool operator==(const ChatMessage&) const = default;
};

struct Conversation {
    QUuid id;
    QString title;
    QList<ChatMessage> messages; // only ever appended to
    QDateTime createdAt;
    QDateTime updatedAt;
    // The user named it: its first message no longer names it.
    bool renamed = false;
    // Kept on disk and not read yet: `messages` holds only what came since.
    bool messagesPending = false;

    static Conversation make(QString title);
    bool operator==(const Conversation&) const = default;
};
