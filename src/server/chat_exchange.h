#pragma once

#include "models/text_piece_stream.h"
#include "server/server_connection.h"

#include <QObject>
#include <QPointer>

// Forwards one reply stream to its phone connection as JSON lines. When the
// phone goes away the exchange keeps reading, so that the desktop's mirror of
// the reply still receives every piece; only the writing stops.
class ChatExchange : public QObject {
    Q_OBJECT

public:
    ChatExchange(ServerConnection* connection, TextPieceStream* stream, QObject* parent = nullptr);

Q_SIGNALS:
    // Emitted after the piece's line has been handed to the connection.
    void pieceForwarded(const QString& piece);
    // Once, when the stream has ended either way; the exchange then deletes itself.
    void ended();

private:
    void forwardPiece(const QString& piece);
    void end(const QByteArray& lastLine);

    QPointer<ServerConnection> m_connection;
    bool m_ended = false;
};
