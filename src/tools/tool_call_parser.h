#pragma once

#include "tools/tool_types.h"

// What parseToolCalls finds in a model reply written as plain text.
struct ToolCallParse {
    QString text;                // the prose before the first call (or the whole reply)
    QList<ParsedToolCall> calls; // in order of appearance
    QString remainder;           // later prose segments joined by "\n"

    bool operator==(const ToolCallParse&) const = default;
};

// Pulls calls written as <tool_call>{"name": ..., "arguments": {...}}</tool_call>
// out of model text. Blocks that do not decode are dropped silently.
ToolCallParse parseToolCalls(const QString& reply);
