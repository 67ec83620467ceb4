#pragma once

#include "tools/tool_types.h"

#include <QList>
#include <QString>

// A tool call handed back by a model client.
struct NativeToolCall {
    QString id;
    QString name;
    ToolArguments arguments;  // every value already turned into text
    QString rawArguments;     // the arguments as one JSON object text

    bool operator==(const NativeToolCall&) const = default;
};

// The whole answer of one non-streamed request.
struct ModelReply {
    QString text;
    QList<NativeToolCall> toolCalls;

    bool operator==(const ModelReply&) const = default;
};
