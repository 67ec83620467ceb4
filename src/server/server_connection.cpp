#include "server/server_connection.h"

#include "server/http_response.h"

#include <sys/socket.h>

ServerConnection::ServerConnection(QTcpSocket* socket, std::chrono::milliseconds idleTimeout,
                                   QObject* parent)
    : QObject(parent), m_socket(socket) {
    m_socket->setParent(this);
    // Bounds what Qt buffers on our behalf; the reader takes it from there.
    m_socket->setReadBufferSize(HttpRequestReader::kMaxReadSize);
    // Reply pieces are small writes that should leave at once, not wait for an ACK.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(idleTimeout);
    connect(&m_idleTimer, &QTimer::timeout, this, &ServerConnection::abort);
    connect(m_socket, &QTcpSocket::readyRead, this, &ServerConnection::readAvailable);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &ServerConnection::noteWriteProgress);
    connect(m_socket, &QTcpSocket::disconnected, this, &ServerConnection::handleDisconnected);
    m_idleTimer.start();
    // Bytes may have arrived before the signals were connected.
    QMetaObject::invokeMethod(this, &ServerConnection::readAvailable, Qt::QueuedConnection);
}

void ServerConnection::send(const QByteArray& bytes) {
    if (m_closing || m_gone || bytes.isEmpty()) {
        return;
    }
    m_socket->write(bytes);
    m_idleTimer.start();
}

void ServerConnection::sendAndClose(const QByteArray& bytes) {
    send(bytes);
    if (m_closing || m_gone) {
        return;
    }
    m_closing = true;
    m_idleTimer.start();
    noteWriteProgress();
}

// Closing outright while the peer's unread bytes sit in the kernel (a body
// refused with 413, a header cut at 431) makes the kernel send a reset, and a
// reset can destroy the answer before the peer reads it. So: send our FIN
// once everything is written, keep draining, and let the peer close; the idle
// timer ends peers that never do.
void ServerConnection::shutDownSending() {
    if (m_sendingShutDown) {
        return;
    }
    m_sendingShutDown = true;
    ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
}

void ServerConnection::abort() {
    if (m_gone) {
        return;
    }
    m_closing = true;
    m_socket->abort();
    handleDisconnected(); // abort() does not always report an unconnected socket
}

void ServerConnection::readAvailable() {
    if (m_gone) {
        return;
    }
    while (m_socket->bytesAvailable() > 0) {
        const QByteArray data = m_socket->read(HttpRequestReader::kMaxReadSize);
        if (m_requestDone) {
            continue; // one request per connection; keep draining to notice the peer leave
        }
        m_idleTimer.start();
        handleOutcome(m_reader.append(data));
        if (m_gone) {
            return;
        }
    }
}

void ServerConnection::handleOutcome(HttpRequestReader::Outcome outcome) {
    using Outcome = HttpRequestReader::Outcome;
    switch (outcome) {
    case Outcome::needMore:
        return;
    case Outcome::complete:
        m_requestDone = true;
        m_idleTimer.stop();
        Q_EMIT requestReceived(m_reader.request());
        return;
    case Outcome::malformed:
        m_requestDone = true;
        abort();
        return;
    case Outcome::headerTooLarge:
        m_requestDone = true;
        sendAndClose(http_response::plainReason(431));
        return;
    case Outcome::bodyTooLarge:
        m_requestDone = true;
        sendAndClose(http_response::plainReason(413));
        return;
    case Outcome::invalidLength:
        m_requestDone = true;
        sendAndClose(http_response::plainReason(400));
        return;
    }
}

void ServerConnection::noteWriteProgress() {
    if (m_gone) {
        return;
    }
    if (m_closing && m_socket->bytesToWrite() == 0) {
        shutDownSending();
    }
    if (m_socket->bytesToWrite() > 0 || !m_requestDone || m_closing) {
        m_idleTimer.start();
    } else {
        m_idleTimer.stop(); // everything written; now waiting on our own side
    }
}

void ServerConnection::handleDisconnected() {
    if (m_gone) {
        return;
    }
    m_gone = true;
    m_idleTimer.stop();
    Q_EMIT closed();
    deleteLater();
}
