#pragma once

#include "models/wire_messages.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A phone chat request: the page's whole history.
struct ChatRequest {
    WireMessages messages;
    // The content of the last message whose role is "user", when it has one.
    std::optional<QString> lastUserText;
};

// nullopt unless the body is a JSON object whose "messages" is an array of
// objects holding only string values.
std::optional<ChatRequest> parseChatRequest(const QByteArray& body);

// What the model is sent: the system prompt first when it is not empty, then
// the phone's messages unchanged.
WireMessages modelMessages(const QString& systemPrompt, const WireMessages& messages);
