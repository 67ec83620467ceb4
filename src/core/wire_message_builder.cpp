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

// A recorded call as the provider sent it: its own members (a Gemini thought
// signature) go back with it; a call that came with none gets none.
QJsonObject toolCallObject(const ToolCallInfo& call) {
    QJsonObject object = call.extras;
    object.insert(QStringLiteral("id"), call.callId);
    object.insert(QStringLiteral("type"), QStringLiteral("function"));
    object.insert(QStringLiteral("function"),
                  QJsonObject{{QStringLiteral("name"), call.tool},
                              {QStringLiteral("arguments"), call.rawArguments}});
    return object;
}

// An assistant turn with the calls recorded right after it; nothing when it
// has neither text nor calls.
std::optional<WireMessage> nativeAssistant(const QList<ChatMessage>& messages, qsizetype index) {
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
            calls.append(toolCallObject(*call));
        }
    }
    if (!calls.isEmpty()) {
        message.insert(QStringLiteral("tool_calls"), calls);
        if (!hasText) {
            message.insert(contentKey, QJsonValue::Null);
        }
        // DeepSeek's thinking mode wants the reasoning of a turn that called
        // tools back in every later request, and ignores (older models refuse)
        // it on a turn that answered: only the former carries it.
        if (assistant.reasoningContent) {
            message.insert(QStringLiteral("reasoning_content"), *assistant.reasoningContent);
        }
    } else if (!hasText) {
        return std::nullopt;
    }
    return message;
}

WireMessage toolResult(const ToolResultInfo& result, WireMode mode) {
    if (mode == WireMode::native) {
        return WireMessage{{roleKey, QStringLiteral("tool")},
                           {QStringLiteral("tool_call_id"), result.toolCallId},
                           {contentKey, result.output}};
    }
    const QString heading =
        result.success ? QStringLiteral("[Tool Result: ") : QStringLiteral("[Tool Error: ");
    return textMessage(QStringLiteral("user"),
                       heading + result.tool + QStringLiteral("]\n") + result.output);
}

} // namespace

QString usingToolsPlaceholder() {
    return QStringLiteral("Using tools...");
}

std::optional<WireMessage> wireMessageAt(const QList<ChatMessage>& messages, qsizetype index,
                                         WireMode mode) {
    const ChatMessage& message = messages[index];
    switch (message.role) {
    case Role::system:
        return std::nullopt;
    case Role::user:
        if (message.content.isEmpty()) {
            return std::nullopt;
        }
        return textMessage(QStringLiteral("user"), message.content);
    case Role::assistant:
        if (mode == WireMode::native) {
            return nativeAssistant(messages, index);
        }
        if (isPlaceholderText(message.content)) {
            return std::nullopt;
        }
        return textMessage(QStringLiteral("assistant"), message.content);
    case Role::tool:
        // Call records travel inside the assistant message before them (native)
        // or not at all (text); only results are sent on their own.
        if (message.toolResult) {
            return toolResult(*message.toolResult, mode);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

WireMessages systemPromptMessages(const QString& systemPrompt) {
    WireMessages out;
    if (!systemPrompt.isEmpty()) {
        out.append(textMessage(QStringLiteral("system"), systemPrompt));
    }
    return out;
}

WireMessages buildWireMessages(const Conversation& conversation, const QString& systemPrompt,
                               WireMode mode) {
    WireMessages out = systemPromptMessages(systemPrompt);
    for (qsizetype i = 0; i < conversation.messages.size(); ++i) {
        if (std::optional<WireMessage> message = wireMessageAt(conversation.messages, i, mode)) {
            out.append(*message);
        }
    }
    return out;
}
