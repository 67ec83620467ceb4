#pragma once

#include <QByteArray>
#include <QString>
#include <QTcpSocket>

#include <chrono>

// A bare TCP client to 127.0.0.1 that sends exact bytes and collects every
// byte of the answer until the server closes the connection.
class RawHttpClient {
public:
    explicit RawHttpClient(quint16 port);

    bool waitConnected();
    void send(const QByteArray& bytes);
    bool waitForBytes(qsizetype count,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool waitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void close() { m_socket.abort(); }
    // Shuts down our sending side only (a half-close); the answer can still arrive.
    void finishSending();

    bool isClosed() const { return m_socket.state() == QAbstractSocket::UnconnectedState; }
    // Before it is connected, bytes wait and are written on connection.
    QByteArray received();
    // The answer after its header block (everything after the first CR LF CR LF).
    QByteArray body();

private:
    void collect();

    QTcpSocket m_socket;
    QByteArray m_unsent;
    QByteArray m_received;
};

// Request texts with a Host line for 127.0.0.1 and the port.
QByteArray requestBytes(const QByteArray& method, const QByteArray& target, quint16 port,
                        const QByteArray& body = {}, const QByteArray& extraHeaders = {});
QByteArray chatBody(const QByteArray& messagesJson);
