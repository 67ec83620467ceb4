#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

// One accepted TCP connection on its own descriptor, read and written without
// blocking. Unlike QTcpSocket, it keeps the connection when the peer finishes
// sending: a client that shuts down its side after the request (a half-close)
// still gets its answer. Signals are emitted from within the calls and the
// notifier events that cause them.
class SocketChannel : public QObject {
    Q_OBJECT

public:
    // Takes the descriptor over; it is closed with the channel.
    explicit SocketChannel(int descriptor, QObject* parent = nullptr);
    ~SocketChannel() override;

    // Takes what the kernel holds right now, as the read notifier would.
    void readPending();
    // Queued and written as the peer takes it.
    void write(const QByteArray& bytes);
    qsizetype bytesToWrite() const { return m_outgoing.size() - m_sent; }
    // Sends our end of the stream (FIN); call once everything is written.
    void shutDownWriting();
    // Closes at once; nothing is emitted afterwards.
    void close();

    bool isOpen() const { return m_descriptor >= 0; }
    bool peerFinishedSending() const { return m_peerFinished; }

Q_SIGNALS:
    void received(const QByteArray& data);
    // The peer has shut down its sending side, or closed: nothing more will come.
    void peerFinished();
    // Some queued bytes went out.
    void bytesWritten();
    // Reset or otherwise broken: the connection is gone and now closed.
    void failed();

private:
    void writePending();
    void fail();

    int m_descriptor;
    QSocketNotifier m_readNotifier;
    QSocketNotifier m_writeNotifier;
    QByteArray m_outgoing;
    qsizetype m_sent = 0;
    bool m_peerFinished = false;
};
