#include "support/fake_http_server.h"

#include "support/fake_http_connection.h"

#include <QJsonDocument>

QJsonObject RecordedRequest::json() const {
    return QJsonDocument::fromJson(body).object();
}

FakeHttpServer::FakeHttpServer(QObject* parent) : QObject(parent) {
    connect(&m_listener, &QTcpServer::newConnection, this, &FakeHttpServer::acceptConnections);
    if (!m_listener.listen(QHostAddress::LocalHost, 0)) {
        qFatal("fake server cannot listen: %s", qPrintable(m_listener.errorString()));
    }
}

FakeHttpServer::~FakeHttpServer() = default;

QString FakeHttpServer::baseUrl() const {
    return rootUrl();
}

QString FakeHttpServer::rootUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

quint16 FakeHttpServer::port() const {
    return m_listener.serverPort();
}

void FakeHttpServer::enqueue(FakeResponse response) {
    m_queue.append(std::move(response));
}

void FakeHttpServer::enqueue(const QByteArray& method, const QString& path, FakeResponse response) {
    m_routed.append({method, path, std::move(response)});
}

void FakeHttpServer::setStandingResponse(const QByteArray& method, const QString& path,
                                         FakeResponse response) {
    // A later standing answer for the same request replaces the earlier one.
    m_standing.removeIf(
        [&](const Route& route) { return route.method == method && route.path == path; });
    m_standing.append({method, path, std::move(response)});
}

void FakeHttpServer::setComputedResponse(
    const QByteArray& method, const QString& path,
    std::function<FakeResponse(const RecordedRequest&)> respond) {
    setStandingResponse(method, path, FakeResponse());
    m_standing.last().respond = std::move(respond);
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
        return route.method == request.method && route.path == request.path;
    };
    for (qsizetype i = 0; i < m_routed.size(); ++i) {
        if (matches(m_routed[i])) {
            return m_routed.takeAt(i).response;
        }
    }
    if (!m_queue.isEmpty()) {
        return m_queue.takeFirst();
    }
    for (const Route& route : std::as_const(m_standing)) {
        if (matches(route)) {
            return route.respond ? route.respond(request) : route.response;
        }
    }
    return FakeResponse::text(404, "no scripted response for " + request.method + ' ' +
                                       request.path.toUtf8());
}
