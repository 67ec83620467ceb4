#include "support/fake_http_server.h"

#include "server/http_request_reader.h"

#include <algorithm>

#include <QJsonDocument>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// The phrases the clients' error texts show.
QByteArray reasonPhrase(int status) {
    return status == 200   ? "OK"
           : status == 404 ? "Not Found"
           : status == 503 ? "Service Unavailable"
                           : "Status";
}

// One accepted connection: reads one request, asks for its answer, writes it
// chunk by chunk on timers, then closes.
class FakeHttpConnection : public QObject {
public:
    using Responder = std::function<FakeResponse(const RecordedRequest&)>;

    FakeHttpConnection(QTcpSocket* socket, Responder responder, FakeHttpServer* server)
        : QObject(server), m_server(server), m_socket(socket), m_responder(std::move(responder)) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, &FakeHttpConnection::readRequest);
        connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    }

private:
    // Read with the phone server's own reader, which this fake only borrows. A
    // request that reader refuses (too large, malformed) gets a 400 that says so,
    // rather than a wait the test would only see as a time-out.
    void readRequest() {
        const QByteArray bytes = m_socket->readAll();
        if (m_answered) {
            return;
        }
        const HttpRequestReader::Outcome outcome = m_reader.append(bytes);
        if (outcome == HttpRequestReader::Outcome::needMore) {
            return;
        }
        m_answered = true;
        startAnswer(outcome == HttpRequestReader::Outcome::complete
                        ? m_responder({m_reader.request()})
                        : FakeResponse::text(400, "the fake server cannot read this request"));
    }

    void startAnswer(FakeResponse response) {
        m_response = std::move(response);
        if (!m_response.answer) {
            return; // the client gives up or the test ends
        }
        if (m_response.held) {
            connect(m_server, &FakeHttpServer::heldReleased, this, &FakeHttpConnection::answer,
                    Qt::SingleShotConnection);
            return;
        }
        answer();
    }

    void answer() {
        if (!m_socket) {
            return;
        }
        if (!m_response.raw.isEmpty()) {
            m_socket->write(m_response.raw);
            m_socket->disconnectFromHost();
            return;
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(m_response.status) + ' ' +
                          reasonPhrase(m_response.status) + "\r\nConnection: close\r\n";
        for (const auto& [name, value] : std::as_const(m_response.headers)) {
            head += name + ": " + value + "\r\n";
        }
        if (m_response.chunks.size() <= 1 && m_response.chunkDelayMs == 0) {
            head +=
                "Content-Length: " + QByteArray::number(m_response.chunks.value(0).size()) + "\r\n";
        }
        m_socket->write(head + "\r\n");
        writeChunk(0);
    }

    void writeChunk(qsizetype index) {
        if (!m_socket) {
            return;
        }
        if (index >= m_response.chunks.size()) {
            // disconnectFromHost sends what is buffered before closing.
            m_socket->disconnectFromHost();
            return;
        }
        m_socket->write(m_response.chunks[index]);
        m_socket->flush();
        QTimer::singleShot(m_response.chunkDelayMs, this, [this, index] { writeChunk(index + 1); });
    }

    FakeHttpServer* m_server;
    QPointer<QTcpSocket> m_socket;
    Responder m_responder;
    HttpRequestReader m_reader;
    FakeResponse m_response;
    bool m_answered = false;
};

} // namespace

QJsonObject RecordedRequest::json() const {
    return QJsonDocument::fromJson(body).object();
}

FakeHttpServer::FakeHttpServer(QObject* parent) : QObject(parent) {
    connect(&m_listener, &QTcpServer::newConnection, this, &FakeHttpServer::acceptConnections);
    if (!m_listener.listen(QHostAddress::LocalHost, 0)) {
        qFatal("fake server cannot listen: %s", qPrintable(m_listener.errorString()));
    }
}

QString FakeHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_listener.serverPort());
}

void FakeHttpServer::enqueue(FakeResponse response) {
    m_queue.append(std::move(response));
}

void FakeHttpServer::enqueue(const QByteArray& method, const QString& target,
                             FakeResponse response) {
    m_routed.append({method, target, std::move(response)});
}

void FakeHttpServer::setStandingResponse(const QByteArray& method, const QString& target,
                                         FakeResponse response) {
    // A later standing answer for the same request replaces the earlier one.
    m_standing.removeIf(
        [&](const Route& route) { return route.method == method && route.target == target; });
    m_standing.append({method, target, std::move(response)});
}

void FakeHttpServer::setComputedResponse(
    const QByteArray& method, const QString& target,
    std::function<FakeResponse(const RecordedRequest&)> respond) {
    setStandingResponse(method, target, FakeResponse());
    m_standing.last().respond = std::move(respond);
}

void FakeHttpServer::releaseHeld() {
    m_held = 0;
    emit heldReleased();
}

void FakeHttpServer::stopListening() {
    m_listener.close();
}

void FakeHttpServer::acceptConnections() {
    while (QTcpSocket* socket = m_listener.nextPendingConnection()) {
        ++m_connections;
        new FakeHttpConnection(
            socket, [this](const RecordedRequest& request) { return responseFor(request); }, this);
    }
}

FakeResponse FakeHttpServer::responseFor(const RecordedRequest& request) {
    m_requests.append(request);
    const auto matches = [&request](const Route& route) {
        return route.method == request.method && route.target == request.target;
    };
    FakeResponse response = FakeResponse::text(
        404, ("no scripted response for " + request.method + ' ' + request.target).toUtf8());
    const auto routed = std::find_if(m_routed.begin(), m_routed.end(), matches);
    const auto standing = std::find_if(m_standing.cbegin(), m_standing.cend(), matches);
    if (routed != m_routed.end()) {
        response = std::move(routed->response);
        m_routed.erase(routed);
    } else if (!m_queue.isEmpty()) {
        response = m_queue.takeFirst();
    } else if (standing != m_standing.cend()) {
        response = standing->respond ? standing->respond(request) : standing->response;
    }
    m_held += response.held ? 1 : 0;
    return response;
}
