#pragma once

#include "models/text_piece_stream.h"
#include "models/wire_messages.h"

#include <QString>

// What answers the phone. The server asks it, on the main thread, once per
// chat request: first for the system prompt to put before the phone's
// messages, then for the model's streamed reply to them.
class ReplySource {
public:
    virtual ~ReplySource() = default;

    virtual QString systemPrompt() = 0;
    // Nothing when no model can answer: the phone's request then ends empty.
    virtual TextPieceStream* streamReply(WireMessages messages) = 0;
    // Whether the page draws replies from their Markdown, asked as it is served.
    virtual bool formatsReplies() { return false; }
};
