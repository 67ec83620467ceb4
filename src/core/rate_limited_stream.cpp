#include "core/rate_limited_stream.h"

#include "models/request_cancellation.h"
#include "models/text_piece_stream.h"

#include <QPointer>

namespace {

void follow(const QPointer<TextPieceStream>& out, TextPieceStream* in, const StreamStart& start,
            const RequestSender::Wait& wait, bool mayWait);

// Waits, then asks once more; the wait ends early when the relayed stream goes.
QCoro::Task<> askAgainAfter(QPointer<TextPieceStream> out, StreamStart start,
                            RequestSender::Wait wait, std::chrono::seconds delay) {
    auto cancellation = std::make_shared<RequestCancellation>();
    QObject::connect(out, &QObject::destroyed, cancellation.get(), &RequestCancellation::cancel);
    const bool waitedOut = co_await wait(delay, cancellation);
    if (!out) {
        co_return;
    }
    TextPieceStream* again = waitedOut ? start() : nullptr;
    if (again == nullptr) {
        out->fail(PlatformError::cancelled());
        co_return;
    }
    follow(out, again, start, wait, false);
}

void follow(const QPointer<TextPieceStream>& out, TextPieceStream* in, const StreamStart& start,
            const RequestSender::Wait& wait, bool mayWait) {
    struct Progress {
        bool delivered = false;
        bool ended = false;
    };
    auto progress = std::make_shared<Progress>();
    QObject::connect(in, &TextPieceStream::piece, out, [out, progress](const QString& text) {
        progress->delivered = true;
        out->deliver(text);
    });
    QObject::connect(in, &TextPieceStream::finished, out, [out, progress] {
        progress->ended = true;
        out->finish();
    });
    QObject::connect(in, &TextPieceStream::failed, out, [=](const QString&) {
        progress->ended = true;
        const ModelError error = in->error().value_or(ModelError(PlatformError::cancelled()));
        const std::optional<std::chrono::seconds> delay = shortWait(error);
        if (mayWait && !progress->delivered && delay) {
            askAgainAfter(out, start, wait, *delay);
            return;
        }
        out->fail(error);
    });
    // Gone without an ending (its client went away): the relay ends too.
    QObject::connect(in, &QObject::destroyed, out, [out, progress] {
        if (!progress->ended) {
            out->fail(PlatformError::cancelled());
        }
    });
}

} // namespace

TextPieceStream* streamWaitingOutRateLimits(StreamStart start, RequestSender::Wait wait) {
    TextPieceStream* first = start();
    if (first == nullptr) {
        return nullptr;
    }
    auto* out = new TextPieceStream();
    follow(out, first, start, wait, true);
    return out;
}
