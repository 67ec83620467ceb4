#pragma once

#include "tools/tool_types.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// A tool call handed back by a model client.
struct NativeToolCall {
    QString id;
    QString name;
    ToolArguments arguments; // every value already turned into text
    QString rawArguments;    // the arguments as one JSON object text
    // Members the provider put beside "id", "type" and "function" (Gemini's
    // "extra_content" thought signature): opaque, sent back with the call.
    QJsonObject extras = {};
    // Written by a local model as a <tool_call> block in its text, rather than
    // sent as a call of the API: its result goes back as text too.
    bool writtenAsText = false;

    bool operator==(const NativeToolCall&) const = default;
};

// The whole answer of one non-streamed request.
struct ModelReply {
    QString text;
    QList<NativeToolCall> toolCalls;
    // The provider's "reasoning_content", when it sent one (DeepSeek in thinking
    // mode wants it back with the turn that called tools).
    std::optional<QString> reasoningContent = std::nullopt;

    bool operator==(const ModelReply&) const = default;
};
