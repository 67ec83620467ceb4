#include "core/wire_message_builder.h"

namespace {

const QString roleKey = QStringLiteral("role");
const QString contentKey = QStringLiteral("content");

WireMessage textMessage(const QString& role, const QString& content) {
    return {{roleKey, role}, {contentKey, content}};
}

bool isPlaceholderText(const QString& content) {
    return content.isEmpty() || content == usingToolsPlaceholder();
}

// An assistant turn with the calls recorded right after it.
void addNativeAssistant(WireMessages& out, const QList<ChatMessage>& messages, qsizetype index) {
    const ChatMessage& assistant = messages[index];
    WireMessage message{{roleKey, QStringLiteral("assistant")}};
    const bool hasText = !isPlaceholderText(assistant.content);
    if (hasText) {
        message.insert(contentKey, assistant.content);
    }
    QJsonArray calls;
    for (qsizetype next = index + 1; next < messages.size() && messages[next].role == Role::tool;
         ++next) {
        if (const auto& call = messages[next].toolCall) {
            calls.append(
                QJsonObject{{QStringLiteral("id"), call->callId},
                            {QStringLiteral("type"), QStringLiteral("function")},
                            {QStringLiteral("function"),
                             QJsonObject{{QStringLiteral("name"), call->tool},
                                         {QStringLiteral("arguments"), call->rawArguments}}}});
        }
    }
    if (!calls.isEmpty()) {
        message.insert(QStringLiteral("tool_calls"), calls);
        if (!hasText) {
            message.insert(contentKey, QJsonValue::Null);
        }
    } else if (!hasText) {
        return;
    }
    out.append(message);
}

void addToolResult(WireMessages& out, const ToolResultInfo& result, WireMode mode) {
    if (mode == WireMode::native) {
        out.append(WireMessage{{roleKey, QStringLiteral("tool")},
                               {QStringLiteral("tool_call_id"), result.toolCallId},
                               {contentKey, result.output}});
        return;
    }
    const QString heading =
        result.success ? QStringLiteral("[Tool Result: ") : QStringLiteral("[Tool Error: ");
    out.append(textMessage(QStringLiteral("user"),
                           heading + result.tool + QStringLiteral("]\n") + result.output));
}

} // namespace

QString usingToolsPlaceholder() {
    return QStringLiteral("Using tools...");
}

WireMessages buildWireMessages(const Conversation& conversation, const QString& systemPrompt,
                               WireMode mode) {
    WireMessages out;
    if (!systemPrompt.isEmpty()) {
        out.append(textMessage(QStringLiteral("system"), systemPrompt));
    }
    const QList<ChatMessage>& messages = conversation.messages;
    for (qsizetype i = 0; i < messages.size(); ++i) {
        const ChatMessage& message = messages[i];
        switch (message.role) {
        case Role::system:
            break;
        case Role::user:
            if (!message.content.isEmpty()) {
                out.append(textMessage(QStringLiteral("user"), message.content));
            }
            break;
        case Role::assistant:
            if (mode == WireMode::native) {
                addNativeAssistant(out, messages, i);
            } else if (!isPlaceholderText(message.content)) {
                out.append(textMessage(QStringLiteral("assistant"), message.content));
            }
            break;
        case Role::tool:
            // Call records travel inside the assistant message before them (native)
            // or not at all (text); only results are sent on their own.
            if (message.toolResult) {
                addToolResult(out, *message.toolResult, mode);
            }
            break;
        }
    }
    return out;
}
