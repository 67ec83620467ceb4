#include "server/socket_channel.h"

#include <QPointer>

#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qsizetype kReadChunk = 64 * 1024;
// Reads per notification: a peer that floods cannot keep the event loop to itself.
constexpr int kChunksPerTurn = 4;

} // namespace

SocketChannel::SocketChannel(int descriptor, QObject* parent)
    : QObject(parent), m_descriptor(descriptor), m_readNotifier(descriptor, QSocketNotifier::Read),
      m_writeNotifier(descriptor, QSocketNotifier::Write) {
    ::fcntl(m_descriptor, F_SETFL, ::fcntl(m_descriptor, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_descriptor, F_SETFD, FD_CLOEXEC);
    // Reply pieces are small writes that should leave at once, not wait for an ACK.
    const int noDelay = 1;
    ::setsockopt(m_descriptor, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    m_writeNotifier.setEnabled(false);
    connect(&m_readNotifier, &QSocketNotifier::activated, this, &SocketChannel::readPending);
    connect(&m_writeNotifier, &QSocketNotifier::activated, this, &SocketChannel::writePending);
}

SocketChannel::~SocketChannel() {
    close();
}

void SocketChannel::readPending() {
    const QPointer self(this);
    for (int turn = 0; turn < kChunksPerTurn && isOpen() && !m_peerFinished; ++turn) {
        QByteArray data(kReadChunk, Qt::Uninitialized);
        const ssize_t count = ::recv(m_descriptor, data.data(), size_t(data.size()), 0);
        if (count > 0) {
            data.truncate(count);
            Q_EMIT received(data);
        } else if (count == 0) {
            m_peerFinished = true;
            m_readNotifier.setEnabled(false);
            Q_EMIT peerFinished();
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return;
        } else if (errno != EINTR) {
            fail();
        }
        if (!self) {
            return; // a handler deleted the channel
        }
    }
}

void SocketChannel::write(const QByteArray& bytes) {
    if (!isOpen() || bytes.isEmpty()) {
        return;
    }
    m_outgoing.append(bytes);
    writePending();
}

void SocketChannel::writePending() {
    bool progressed = false;
    while (bytesToWrite() > 0) {
        const ssize_t count = ::send(m_descriptor, m_outgoing.constData() + m_sent,
                                     size_t(bytesToWrite()), MSG_NOSIGNAL);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                fail();
                return;
            }
            break; // the peer's window is full: wait until it takes more
        }
        m_sent += count;
        progressed = true;
    }
    if (bytesToWrite() == 0) {
        m_outgoing.clear();
        m_sent = 0;
    }
    m_writeNotifier.setEnabled(bytesToWrite() > 0);
    if (progressed) {
        Q_EMIT bytesWritten();
    }
}

void SocketChannel::shutDownWriting() {
    if (isOpen()) {
        ::shutdown(m_descriptor, SHUT_WR);
    }
}

void SocketChannel::close() {
    if (!isOpen()) {
        return;
    }
    m_readNotifier.setEnabled(false);
    m_writeNotifier.setEnabled(false);
    ::close(m_descriptor);
    m_descriptor = -1;
    m_outgoing.clear();
    m_sent = 0;
}

void SocketChannel::fail() {
    close();
    Q_EMIT failed();
}
