#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>

#include <chrono>

#include <sys/socket.h>

// A bare TCP client to 127.0.0.1 that sends exact bytes and collects every
// byte of the answer until the server closes the connection. Bytes sent
// before it is connected wait and are written on connection.
class RawHttpClient {
public:
    explicit RawHttpClient(quint16 port) {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { collect(); });
        QObject::connect(&m_socket, &QTcpSocket::connected, [this] { m_socket.write(m_unsent); });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

    bool waitConnected() {
        return QTest::qWaitFor([this] { return m_socket.state() == QTcpSocket::ConnectedState; });
    }
    void send(const QByteArray& bytes) {
        if (m_socket.state() != QTcpSocket::ConnectedState) {
            m_unsent += bytes;
            return;
        }
        m_socket.write(bytes);
        m_socket.flush();
    }
    // Shuts down our sending side only (a half-close); the answer can still arrive.
    void finishSending() {
        m_socket.flush();
        ::shutdown(int(m_socket.socketDescriptor()), SHUT_WR);
    }
    void close() { m_socket.abort(); }

    bool waitForBytes(qsizetype count) {
        return QTest::qWaitFor([&] { return received().size() >= count || isClosed(); }, 10000);
    }
    bool waitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        return QTest::qWaitFor([this] { return isClosed(); }, int(timeout.count()));
    }
    bool isClosed() const { return m_socket.state() == QTcpSocket::UnconnectedState; }

    QByteArray received() {
        collect();
        return m_received;
    }
    // The answer after its header block.
    QByteArray body() {
        const QByteArray all = received();
        const qsizetype end = all.indexOf("\r\n\r\n");
        return end < 0 ? QByteArray() : all.mid(end + 4);
    }

private:
    void collect() {
        if (m_socket.isOpen()) {
            m_received.append(m_socket.readAll());
        }
    }

    QTcpSocket m_socket;
    QByteArray m_unsent;
    QByteArray m_received;
};

// A request with a Host line for 127.0.0.1 and the port.
inline QByteArray requestBytes(const QByteArray& method, const QByteArray& target, quint16 port,
                               const QByteArray& body = {}, const QByteArray& extraHeaders = {}) {
    QByteArray bytes = method + ' ' + target +
                       " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n" +
                       extraHeaders;
    if (!body.isEmpty()) {
        bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    }
    return bytes + "\r\n" + body;
}

inline QByteArray chatBody(const QByteArray& text) {
    return R"({"messages":[{"role":"user","content":")" + text + R"("}]})";
}
