#pragma once

#include <QList>
#include <QMap>
#include <QString>

// Arguments of one tool call, every value already turned into text.
using ToolArguments = QMap<QString, QString>;

// What a tool hands back: exactly one output text, success or not.
struct ToolOutcome {
    QString tool;
    bool success = false;
    QString output;

    bool operator==(const ToolOutcome&) const = default;
};

// A tool call found in model text between <tool_call> tags.
struct ParsedToolCall {
    QString tool;
    ToolArguments args;

    bool operator==(const ParsedToolCall&) const = default;
};
