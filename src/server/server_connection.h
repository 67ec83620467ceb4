#pragma once

#include "server/connection_timeouts.h"
#include "server/http_request.h"
#include "server/http_request_reader.h"
#include "server/socket_channel.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

// One accepted connection: reads its single request, then writes what the
// server answers and closes. The request must arrive within its deadlines;
// afterwards a peer that takes nothing of the answer for the idle time is
// dropped. A peer that finishes sending after a complete request is still
// answered; one that finishes before is dropped at once.
class ServerConnection : public QObject {
    Q_OBJECT

public:
    enum class Phase {
        reading,   // the request is not complete yet
        answering, // the request is in; the server's answer is being written
        lingering, // the answer is out; waiting for the peer to close
    };

    ServerConnection(int descriptor, const ConnectionTimeouts& timeouts, QObject* parent = nullptr);

    // Queued for writing; ignored once the connection is closing.
    void send(const QByteArray& bytes);
    // Closes once everything queued has been written.
    void sendAndClose(const QByteArray& bytes = {});
    void abort();
    // Takes in what the peer has sent so far: a peer that has left is noticed
    // now rather than at the next turn of the event loop.
    void readPending() { m_channel.readPending(); }

    Phase phase() const;

Q_SIGNALS:
    // At most once.
    void requestReceived(const HttpRequest& request);
    // The connection is gone; the object deletes itself right after.
    void closed();

private:
    void takeData(const QByteArray& data);
    void handleOutcome(HttpRequestReader::Outcome outcome);
    void handlePeerFinished();
    void noteWriteProgress();
    void finishClosing();
    void handleGone();

    SocketChannel m_channel;
    const ConnectionTimeouts m_timeouts;
    QTimer m_deadline;  // for the request
    QTimer m_idleTimer; // after it
    HttpRequestReader m_reader;
    bool m_requestDone = false;
    bool m_closing = false;
    bool m_gone = false;
};
