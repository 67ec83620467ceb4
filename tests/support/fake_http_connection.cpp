#include "support/fake_http_connection.h"

#include <QHash>
#include <QTimer>

namespace {

QByteArray reasonPhrase(int status) {
    static const QHash<int, QByteArray> phrases{{200, "OK"},
                                                {302, "Found"},
                                                {304, "Not Modified"},
                                                {400, "Bad Request"},
                                                {401, "Unauthorized"},
                                                {404, "Not Found"},
                                                {500, "Internal Server Error"},
                                                {503, "Service Unavailable"}};
    return phrases.value(status, "Status");
}

} // namespace

FakeHttpConnection::FakeHttpConnection(QTcpSocket* socket, Responder responder, QObject* parent)
    : QObject(parent), m_socket(socket), m_responder(std::move(responder)) {
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &FakeHttpConnection::readRequest);
    connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
}

void FakeHttpConnection::readRequest() {
    if (m_answered) {
        m_socket->readAll();
        return;
    }
    m_buffer.append(m_socket->readAll());
    if (std::optional<RecordedRequest> request = parseRequest()) {
        m_answered = true;
        startAnswer(m_responder(*request));
    }
}

std::optional<RecordedRequest> FakeHttpConnection::parseRequest() {
    const qsizetype headerEnd = m_buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        return std::nullopt;
    }
    const QByteArrayList lines = m_buffer.left(headerEnd).split('\n');
    const QByteArrayList requestLine = lines.value(0).trimmed().split(' ');
    RecordedRequest request;
    request.method = requestLine.value(0);
    request.path = QString::fromUtf8(requestLine.value(1));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) {
            request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                   lines[i].mid(colon + 1).trimmed());
        }
    }
    const qsizetype length = request.header("content-length").toLongLong();
    const qsizetype bodyStart = headerEnd + 4;
    if (m_buffer.size() - bodyStart < length) {
        return std::nullopt;
    }
    request.body = m_buffer.mid(bodyStart, length);
    return request;
}

void FakeHttpConnection::startAnswer(FakeResponse response) {
    m_response = std::move(response);
    if (!m_response.answer) {
        return; // the client gives up or the test ends
    }
    QTimer::singleShot(m_response.initialDelayMs, this, [this] {
        if (!m_socket) {
            return;
        }
        if (!m_response.raw.isEmpty()) {
            m_socket->write(m_response.raw);
            closeSoon();
            return;
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(m_response.status) + ' ' +
                          reasonPhrase(m_response.status) + "\r\nConnection: close\r\n";
        for (const auto& [name, value] : std::as_const(m_response.headers)) {
            head += name + ": " + value + "\r\n";
        }
        const bool whole = m_response.chunks.size() <= 1 && m_response.chunkDelayMs == 0;
        if (whole) {
            head +=
                "Content-Length: " + QByteArray::number(m_response.chunks.value(0).size()) + "\r\n";
        }
        m_socket->write(head + "\r\n");
        writeChunk(0);
    });
}

void FakeHttpConnection::writeChunk(qsizetype index) {
    if (!m_socket) {
        return;
    }
    if (index >= m_response.chunks.size()) {
        closeSoon();
        return;
    }
    m_socket->write(m_response.chunks[index]);
    m_socket->flush();
    QTimer::singleShot(m_response.chunkDelayMs, this, [this, index] { writeChunk(index + 1); });
}

void FakeHttpConnection::closeSoon() {
    // disconnectFromHost sends what is buffered before closing.
    m_socket->disconnectFromHost();
}
