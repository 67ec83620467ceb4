#pragma once

#include "core/conversation.h"

#include <QString>

// A conversation as a Markdown document: its title as the heading, then each
// message as a paragraph under its author ("You" or the agent's name), tool
// calls and results as fenced blocks. Placeholders that only stood for tool
// calls while they ran are left out.
QString conversationMarkdown(const Conversation& conversation, const QString& agentName);
