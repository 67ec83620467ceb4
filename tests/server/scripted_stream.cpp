#include "scripted_stream.h"

#include <QTimer>

#include <memory>

TextPieceStream* playScript(const StreamScript& script) {
    auto* stream = new TextPieceStream;
    auto* timer = new QTimer(stream);
    timer->setSingleShot(true);
    timer->setInterval(script.firstDelay);
    auto next = std::make_shared<qsizetype>(0);
    QObject::connect(timer, &QTimer::timeout, stream, [stream, timer, script, next] {
        if (*next < script.pieces.size()) {
            stream->deliver(script.pieces[(*next)++]);
            timer->setInterval(script.interval);
            timer->start();
        } else if (script.failure) {
            stream->fail(PlatformError{PlatformError::Case::transport, *script.failure});
        } else {
            stream->finish();
        }
    });
    timer->start(); // never inside this call: the consumer connects first
    return stream;
}
