#pragma once

#include "server/reply_source.h"

#include <functional>

// A ReplySource made of one function and no system prompt, for tests and benchmarks.
struct FunctionReplySource : ReplySource {
    std::function<TextPieceStream*(WireMessages)> reply;
    bool formatted = false;

    QString systemPrompt() override { return {}; }
    TextPieceStream* streamReply(WireMessages messages) override {
        return reply ? reply(std::move(messages)) : nullptr;
    }
    bool formatsReplies() override { return formatted; }
};
