#include "server/chat_exchange.h"

#include "server/http_response.h"

ChatExchange::ChatExchange(ServerConnection* connection, TextPieceStream* stream, QObject* parent)
    : QObject(parent), m_connection(connection) {
    connect(stream, &TextPieceStream::piece, this, &ChatExchange::forwardPiece);
    connect(stream, &TextPieceStream::finished, this, [this] { end(http_response::doneLine()); });
    connect(stream, &TextPieceStream::failed, this,
            [this](const QString& description) { end(http_response::errorLine(description)); });
    // A stream destroyed before it ended has no last line to give: just close.
    connect(stream, &QObject::destroyed, this, [this] { end({}); });
}

void ChatExchange::forwardPiece(const QString& piece) {
    if (m_ended) {
        return;
    }
    if (m_connection) {
        m_connection->send(http_response::contentLine(piece));
    }
    Q_EMIT pieceForwarded(piece);
}

void ChatExchange::end(const QByteArray& lastLine) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    if (m_connection) {
        m_connection->sendAndClose(lastLine);
    }
    Q_EMIT ended();
    deleteLater();
}
