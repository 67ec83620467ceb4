#pragma once

#include "core/conversation.h"
#include "models/wire_messages.h"

#include <optional>

// How a conversation is sent: native tool calls for the cloud; for the local
// model, text, except for calls Ollama carried natively, which go back in
// Ollama's shape (the calls on the assistant message, then "tool" messages
// with the tool's name); a call the model wrote as text learns of its result
// as a user message.
enum class WireMode { native, text };

// The placeholder an assistant message shows while its tools run; never sent as text.
QString usingToolsPlaceholder();

// The request message for messages[index] in `mode`, or nothing when it is not sent.
std::optional<WireMessage> wireMessageAt(const QList<ChatMessage>& messages, qsizetype index,
                                         WireMode mode);

// The opening system message, when the prompt is not empty.
WireMessages systemPromptMessages(const QString& systemPrompt);

// The request messages for one conversation: the system prompt (when not empty)
// followed by the conversation's messages in the shapes each mode needs.
WireMessages buildWireMessages(const Conversation& conversation, const QString& systemPrompt,
                               WireMode mode);
