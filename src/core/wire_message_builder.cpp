#include "core/wire_message_builder.h"

#include "core/core_texts.h"

#include <QJsonDocument>

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
    } else if (!hasText) {
        return std::nullopt;
    }
    // Reasoning goes back with every message that came with it: DeepSeek wants
    // all of a tool-calling turn's (its final answer's too) in every later
    // request, and ignores it elsewhere.
    if (assistant.reasoningContent) {
        message.insert(QStringLiteral("reasoning_content"), *assistant.reasoningContent);
    }
    return message;
}

// The call records right after messages[index] that the API itself carried
// (not <tool_call> blocks in a local model's text), in Ollama's shape: the
// arguments as a JSON object.
QJsonArray ollamaNativeCalls(const QList<ChatMessage>& messages, qsizetype index) {
    QJsonArray calls;
    for (qsizetype next = index + 1; next < messages.size() && messages[next].role == Role::tool;
         ++next) {
        const std::optional<ToolCallInfo>& call = messages[next].toolCall;
        if (call && !call->writtenAsText) {
            const QJsonObject arguments =
                QJsonDocument::fromJson(call->rawArguments.toUtf8()).object();
            calls.append(QJsonObject{{QStringLiteral("function"),
                                      QJsonObject{{QStringLiteral("name"), call->tool},
                                                  {QStringLiteral("arguments"), arguments}}}});
        }
    }
    return calls;
}

// A local turn: its text, with the calls Ollama carried natively; nothing when
// it has neither.
std::optional<WireMessage> textAssistant(const QList<ChatMessage>& messages, qsizetype index) {
    const ChatMessage& assistant = messages[index];
    const QJsonArray calls = ollamaNativeCalls(messages, index);
    const bool hasText = !isPlaceholderText(assistant.content);
    if (calls.isEmpty()) {
        return hasText ? std::optional(textMessage(QStringLiteral("assistant"), assistant.content))
                       : std::nullopt;
    }
    WireMessage message =
        textMessage(QStringLiteral("assistant"), hasText ? assistant.content : QString());
    message.insert(QStringLiteral("tool_calls"), calls);
    return message;
}

// Whether the result at messages[index] answers a call Ollama carried natively.
bool answersNativeCall(const QList<ChatMessage>& messages, qsizetype index) {
    const QString& callId = messages[index].toolResult->toolCallId;
    for (qsizetype previous = index - 1; previous >= 0 && messages[previous].role == Role::tool;
         --previous) {
        const std::optional<ToolCallInfo>& call = messages[previous].toolCall;
        if (call && call->callId == callId) {
            return !call->writtenAsText;
        }
    }
    return false;
}

WireMessage toolResult(const ToolResultInfo& result, WireMode mode, bool nativeCall) {
    if (mode == WireMode::native) {
        return WireMessage{{roleKey, QStringLiteral("tool")},
                           {QStringLiteral("tool_call_id"), result.toolCallId},
                           {contentKey, result.output}};
    }
    if (nativeCall) {
        // Ollama's shape: one tool message per result, named by its tool.
        return WireMessage{{roleKey, QStringLiteral("tool")},
                           {contentKey, result.output},
                           {QStringLiteral("tool_name"), result.tool}};
    }
    const QString heading =
        result.success ? QStringLiteral("[Tool Result: ") : QStringLiteral("[Tool Error: ");
    return textMessage(QStringLiteral("user"),
                       heading + result.tool + QStringLiteral("]\n") + result.output);
}

} // namespace

QString usingToolsPlaceholder() {
    return CoreTexts::usingTools();
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
        return mode == WireMode::native ? nativeAssistant(messages, index)
                                        : textAssistant(messages, index);
    case Role::tool:
        // Call records travel inside the assistant message before them, or not
        // at all (text written calls); only results are sent on their own.
        if (message.toolResult) {
            return toolResult(*message.toolResult, mode, answersNativeCall(messages, index));
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
