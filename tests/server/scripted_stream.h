#pragma once

#include "models/text_piece_stream.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

// A model reply played from a script: the pieces one by one on a timer, then
// the end (or the failure). Stands in for a model client behind the server.
// A script may pause after some pieces until resumeScript(): tests order
// events by that, never by a delay.
struct StreamScript {
    QStringList pieces;
    std::optional<QString> failure;          // ends with this description instead of normally
    std::chrono::milliseconds firstDelay{0}; // before the first piece
    std::chrono::milliseconds interval{0};   // between pieces
    std::optional<qsizetype> pauseAfter;     // pieces delivered before it pauses
};

inline TextPieceStream* playScript(const StreamScript& script) {
    auto* stream = new TextPieceStream;
    auto* timer = new QTimer(stream);
    timer->setSingleShot(true);
    timer->setInterval(script.firstDelay);
    auto next = std::make_shared<qsizetype>(0);
    QObject::connect(timer, &QTimer::timeout, stream, [stream, timer, script, next] {
        if (*next < script.pieces.size()) {
            stream->deliver(script.pieces[(*next)++]);
            timer->setInterval(script.interval);
            if (*next != script.pauseAfter) {
                timer->start();
            }
        } else if (script.failure) {
            stream->fail(PlatformError{PlatformError::Case::transport, *script.failure});
        } else {
            stream->finish();
        }
    });
    if (script.pauseAfter != 0) {
        timer->start(); // never inside this call: the consumer connects first
    }
    return stream;
}

// Plays the rest of a paused script.
inline void resumeScript(TextPieceStream* stream) {
    if (auto* timer = stream ? stream->findChild<QTimer*>() : nullptr) {
        timer->start();
    }
}
