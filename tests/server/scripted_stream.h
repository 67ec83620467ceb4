#pragma once

#include "models/text_piece_stream.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

// A model reply played from a script: the pieces one by one on a timer, then
// the end (or the failure). Stands in for a model client behind the server.
struct StreamScript {
    QStringList pieces;
    std::optional<QString> failure;          // ends with this description instead of normally
    std::chrono::milliseconds firstDelay{0}; // before the first piece
    std::chrono::milliseconds interval{0};   // between pieces
};

TextPieceStream* playScript(const StreamScript& script);
