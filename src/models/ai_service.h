#pragma once

#include "models/model_reply.h"
#include "models/reply_progress.h"
#include "models/request_cancellation.h"
#include "models/result.h"
#include "models/text_piece_stream.h"
#include "models/wire_messages.h"

#include <QCoroTask>
#include <QObject>

#include <memory>

// The one interface through which the rest of the system talks to a model.
// Implemented by CloudAPIService and LocalLLMService; used on the main thread.
// A QObject, so that a holder can tell when the client it was handed is gone.
class AIServiceProtocol : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // One request, the whole reply with any tool calls. A cancelled
    // `cancellation` aborts the request; the result is then a cancellation error.
    // With a `progress` that wants it, the reply is streamed and shown there as
    // it arrives; the result is the same as without.
    virtual QCoro::Task<Result<ModelReply>>
    sendChat(WireMessages messages, std::shared_ptr<RequestCancellation> cancellation = {},
             ReplyProgress progress = {}) = 0;

    // Starts a streamed request and returns its stream at once. No tools.
    virtual TextPieceStream* streamChat(WireMessages messages) = 0;

    // True when the backend can be used now; never fails.
    virtual QCoro::Task<bool> checkAvailability() = 0;
};
