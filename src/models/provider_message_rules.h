#pragma once

#include "models/wire_messages.h"

#include <QString>

// What some providers demand of the messages of a request beyond the common
// chat-completions shape, applied just before sending. Each provider gets
// its own rules only; `plain` leaves every message as it is.
enum class MessageRules {
    plain,
    // Thinking mode: within a user turn that called tools every assistant
    // message carries "reasoning_content"; one answered by another provider
    // (which has none) gets an empty one, as DeepSeek's fixes do.
    deepseek,
    // Gemini 3 validates thought signatures on the function calls of the
    // current turn; a step whose calls carry none (made by another provider)
    // gets the dummy signature Google documents for that case.
    gemini,
    // Ark refuses an assistant tool-call turn without text and a tool result
    // of "" (MissingParameter messages.content): both get a placeholder.
    ark,
};

WireMessages applyMessageRules(MessageRules rules, WireMessages messages);

// The signature Gemini takes in place of one it did not make.
QString geminiDummyThoughtSignature();
// What Ark gets for an assistant turn that only called tools, and for a tool
// result that is empty.
QString arkToolTurnPlaceholder();
QString arkEmptyResultPlaceholder();
