#include "server/server_connection.h"

#include "server/http_response.h"

ServerConnection::ServerConnection(int descriptor, const ConnectionTimeouts& timeouts,
                                   QObject* parent)
    : QObject(parent), m_channel(descriptor), m_timeouts(timeouts) {
    m_deadline.setSingleShot(true);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(m_timeouts.idle);
    connect(&m_deadline, &QTimer::timeout, this, &ServerConnection::abort);
    connect(&m_idleTimer, &QTimer::timeout, this, &ServerConnection::abort);
    connect(&m_channel, &SocketChannel::received, this, &ServerConnection::takeData);
    connect(&m_channel, &SocketChannel::peerFinished, this, &ServerConnection::handlePeerFinished);
    connect(&m_channel, &SocketChannel::bytesWritten, this, &ServerConnection::noteWriteProgress);
    connect(&m_channel, &SocketChannel::failed, this, &ServerConnection::handleGone);
    m_deadline.start(m_timeouts.header);
}

ServerConnection::Phase ServerConnection::phase() const {
    if (!m_requestDone) {
        return Phase::reading;
    }
    return m_closing && m_channel.bytesToWrite() == 0 ? Phase::lingering : Phase::answering;
}

void ServerConnection::send(const QByteArray& bytes) {
    if (m_closing || m_gone || bytes.isEmpty()) {
        return;
    }
    m_channel.write(bytes);
    noteWriteProgress();
}

void ServerConnection::sendAndClose(const QByteArray& bytes) {
    send(bytes);
    if (m_closing || m_gone) {
        return;
    }
    m_closing = true;
    noteWriteProgress();
}

void ServerConnection::abort() {
    if (m_gone) {
        return;
    }
    m_closing = true;
    m_channel.close();
    handleGone();
}

void ServerConnection::takeData(const QByteArray& data) {
    if (m_requestDone) {
        return; // one request per connection; the rest is read and dropped
    }
    const bool hadHeader = m_reader.headerComplete();
    const HttpRequestReader::Outcome outcome = m_reader.append(data);
    if (!hadHeader && m_reader.headerComplete()) {
        m_deadline.start(m_timeouts.body);
    }
    handleOutcome(outcome);
}

void ServerConnection::handleOutcome(HttpRequestReader::Outcome outcome) {
    using Outcome = HttpRequestReader::Outcome;
    if (outcome == Outcome::needMore) {
        return;
    }
    m_requestDone = true;
    m_deadline.stop();
    switch (outcome) {
    case Outcome::needMore:
        break;
    case Outcome::complete:
        Q_EMIT requestReceived(m_reader.request());
        break;
    case Outcome::malformed:
        abort();
        break;
    case Outcome::headerTooLarge:
        sendAndClose(http_response::plainReason(431));
        break;
    case Outcome::bodyTooLarge:
        sendAndClose(http_response::plainReason(413));
        break;
    case Outcome::invalidLength:
        sendAndClose(http_response::plainReason(400));
        break;
    }
}

// A request cut short by the peer's end never completes; a complete one is
// answered even though the peer will send nothing more.
void ServerConnection::handlePeerFinished() {
    if (!m_requestDone) {
        handleOutcome(m_reader.finish());
    } else if (phase() == Phase::lingering) {
        abort(); // both sides are done
    }
}

void ServerConnection::noteWriteProgress() {
    if (m_gone) {
        return;
    }
    if (m_closing && m_channel.bytesToWrite() == 0) {
        finishClosing();
    } else if (m_channel.bytesToWrite() > 0) {
        m_idleTimer.start();
    } else {
        m_idleTimer.stop(); // everything written; now waiting on our own side
    }
}

// Closing outright while the peer's unread bytes sit in the kernel (a body
// refused with 413, a header cut at 431) makes the kernel send a reset, and a
// reset can destroy the answer before the peer reads it. So: send our end of
// the stream once everything is written, keep draining, and let the peer
// close; the idle timer ends peers that never do.
void ServerConnection::finishClosing() {
    if (m_channel.peerFinishedSending()) {
        abort(); // nothing is left unread: closing cannot reset
        return;
    }
    m_channel.shutDownWriting();
    m_idleTimer.start();
}

void ServerConnection::handleGone() {
    if (m_gone) {
        return;
    }
    m_gone = true;
    m_deadline.stop();
    m_idleTimer.stop();
    Q_EMIT closed();
    deleteLater();
}
