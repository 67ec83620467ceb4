#include "raw_http_client.h"

#include <QHostAddress>
#include <QTest>

#include <sys/socket.h>

RawHttpClient::RawHttpClient(quint16 port) {
    QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { collect(); });
    QObject::connect(&m_socket, &QTcpSocket::connected, [this] {
        m_socket.write(m_unsent);
        m_unsent.clear();
    });
    m_socket.connectToHost(QHostAddress::LocalHost, port);
}

bool RawHttpClient::waitConnected() {
    return QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; },
                           10000);
}

void RawHttpClient::send(const QByteArray& bytes) {
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        m_unsent += bytes; // written once connected
        return;
    }
    m_socket.write(bytes);
    m_socket.flush();
}

void RawHttpClient::finishSending() {
    m_socket.flush();
    ::shutdown(int(m_socket.socketDescriptor()), SHUT_WR);
}

bool RawHttpClient::waitForBytes(qsizetype count, std::chrono::milliseconds timeout) {
    return QTest::qWaitFor(
        [this, count] {
            collect();
            return m_received.size() >= count || isClosed();
        },
        int(timeout.count()));
}

bool RawHttpClient::waitClosed(std::chrono::milliseconds timeout) {
    const bool closed = QTest::qWaitFor([this] { return isClosed(); }, int(timeout.count()));
    collect();
    return closed;
}

QByteArray RawHttpClient::received() {
    collect();
    return m_received;
}

QByteArray RawHttpClient::body() {
    const QByteArray all = received();
    const qsizetype end = all.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : all.mid(end + 4);
}

void RawHttpClient::collect() {
    if (m_socket.isOpen()) {
        m_received.append(m_socket.readAll());
    }
}

QByteArray requestBytes(const QByteArray& method, const QByteArray& target, quint16 port,
                        const QByteArray& body, const QByteArray& extraHeaders) {
    QByteArray bytes = method + ' ' + target +
                       " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n" +
                       extraHeaders;
    if (!body.isEmpty()) {
        bytes +=
            "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
            "\r\n";
    }
    return bytes + "\r\n" + body;
}

QByteArray chatBody(const QByteArray& messagesJson) {
    return "{\"messages\":" + messagesJson + "}";
}
