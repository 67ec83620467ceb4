#pragma once

#include "core/conversation.h"

#include <QByteArray>

// What a kept message holds beyond its role, text and time (its tool call or
// result, the provider's reasoning, the line under it, how it failed), as one
// compact JSON object; empty when there is nothing.
QByteArray messageDetails(const ChatMessage& message);
// Reads them back into `message`; anything it does not know is left out.
void readMessageDetails(const QByteArray& json, ChatMessage& message);
