#pragma once

#include "models/text_piece_stream.h"

#include <QPointer>
#include <QStringList>

// What a text stream delivered: its pieces, how often it finished, its failures.
struct StreamRecorder {
    explicit StreamRecorder(TextPieceStream* stream) : stream(stream) {
        QObject::connect(stream, &TextPieceStream::piece, stream,
                         [this](const QString& text) { pieces.append(text); });
        QObject::connect(stream, &TextPieceStream::finished, stream, [this] { ++finishes; });
        QObject::connect(stream, &TextPieceStream::failed, stream,
                         [this](const QString& error) { failures.append(error); });
    }
    bool ended() const { return finishes + failures.size() > 0; }

    QPointer<TextPieceStream> stream;
    QStringList pieces;
    int finishes = 0;
    QStringList failures;
};
