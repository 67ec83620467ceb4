#pragma once

#include "server/reply_source.h"

#include <functional>

// A ReplySource made of two functions, for tests and benchmarks.
struct FunctionReplySource : ReplySource {
    std::function<QString()> prompt;
    std::function<TextPieceStream*(WireMessages)> reply;

    QString systemPrompt() override { return prompt ? prompt() : QString(); }
    TextPieceStream* streamReply(WireMessages messages) override {
        return reply ? reply(std::move(messages)) : nullptr;
    }
};
