#include "models/text_piece_stream.h"

TextPieceStream::TextPieceStream(QObject* parent) : QObject(parent) {}

void TextPieceStream::deliver(const QString& text) {
    if (m_ended || text.isEmpty()) {
        return;
    }
    Q_EMIT piece(text);
}

void TextPieceStream::finish() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    Q_EMIT finished();
    deleteLater();
}

void TextPieceStream::fail(const ModelError& error) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_error = error;
    Q_EMIT failed(errorDescription(error));
    deleteLater();
}
