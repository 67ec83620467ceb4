#pragma once

#include "models/ai_service.h"

#include <QList>

// A model that answers each request at once, with its next queued answer or
// else "Done.", and keeps every request it is sent; a cancelled request ends
// as cancelled.
class ScriptedModel : public AIServiceProtocol {
public:
    QList<Result<ModelReply>> replies;
    QList<WireMessages> requests;

    QCoro::Task<Result<ModelReply>> sendChat(WireMessages messages,
                                             std::shared_ptr<RequestCancellation> cancellation,
                                             ReplyProgress) override {
        requests << messages;
        if (cancellation && cancellation->isCancelled()) {
            co_return PlatformError::cancelled();
        }
        if (replies.isEmpty()) {
            co_return ModelReply{QStringLiteral("Done."), {}};
        }
        co_return replies.takeFirst();
    }
    TextPieceStream* streamChat(WireMessages) override { return nullptr; }
    QCoro::Task<bool> checkAvailability() override { co_return true; }
};
