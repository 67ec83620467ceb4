#pragma once

#include "server/http_request.h"
#include "support/fake_response.h"

#include <QObject>
#include <QTcpServer>

#include <functional>

// One request as the fake server received it, read by the phone server's reader.
struct RecordedRequest : HttpRequest {
    QJsonObject json() const; // the body as a JSON object (empty if it is none)
};

// An in-process HTTP/1.1 server on 127.0.0.1 and a free port, answering from
// a script. Each request takes the first queued answer for its method and
// target (the path with its query, as sent), else the first queued answer for
// any request, else the standing answer for its method and target (fixed or
// computed from the request); with none of these it gets a 404 that names it.
// One request per connection; the server closes the connection after answering.
class FakeHttpServer : public QObject {
    Q_OBJECT

public:
    explicit FakeHttpServer(QObject* parent = nullptr);

    // "http://127.0.0.1:<port>"; subclasses add the API prefix.
    virtual QString baseUrl() const;

    void enqueue(FakeResponse response);
    void enqueue(const QByteArray& method, const QString& target, FakeResponse response);
    // Replaces any standing answer given before for the same method and target.
    void setStandingResponse(const QByteArray& method, const QString& target,
                             FakeResponse response);
    // A standing answer made from each request (a provider that checks what it gets).
    void setComputedResponse(const QByteArray& method, const QString& target,
                             std::function<FakeResponse(const RecordedRequest&)> respond);

    QList<RecordedRequest> requests() const { return m_requests; }
    RecordedRequest lastRequest() const { return m_requests.value(m_requests.size() - 1); }
    int connectionCount() const { return m_connections; }

    // Held answers whose requests have come and that wait for releaseHeld().
    int heldCount() const { return m_held; }
    // Sends every held answer that waits now.
    void releaseHeld();

Q_SIGNALS:
    void heldReleased();

public:
    // Stops listening; later connections to the port are refused.
    void stopListening();

private:
    struct Route {
        QByteArray method;
        QString target;
        FakeResponse response;
        std::function<FakeResponse(const RecordedRequest&)> respond = {};
    };

    void acceptConnections();
    FakeResponse responseFor(const RecordedRequest& request);

    QTcpServer m_listener;
    QList<Route> m_routed;
    QList<FakeResponse> m_queue;
    QList<Route> m_standing;
    QList<RecordedRequest> m_requests;
    int m_connections = 0;
    int m_held = 0;
};

// An OpenAI-compatible provider under "/v1".
class FakeOpenAIServer : public FakeHttpServer {
    Q_OBJECT

public:
    using FakeHttpServer::FakeHttpServer;

    QString baseUrl() const override { return FakeHttpServer::baseUrl() + "/v1"; }

    // A whole chat-completions reply; `content` null when `text` is null.
    static FakeResponse chatReply(const QString& text, const QJsonArray& toolCalls = {});
    // One "tool_calls" entry as providers send it.
    static QJsonObject toolCall(const QString& id, const QString& name,
                                const QString& argumentsJson);
    // A run_command call of this shell command.
    static QJsonObject commandCall(const QString& id, const QString& command);
    // A streamed reply: one event per piece, then "[DONE]".
    static FakeResponse streamedText(const QStringList& pieces, int chunkDelayMs = 0);
};

// An Ollama server (no API prefix).
class FakeOllamaServer : public FakeHttpServer {
    Q_OBJECT

public:
    using FakeHttpServer::FakeHttpServer;

    static FakeResponse chatReply(const QString& content);
    // The /api/tags answer listing these model names.
    static FakeResponse tags(const QStringList& modelNames);
    // A streamed reply: one line per piece, then a final empty "done" line.
    static FakeResponse streamedText(const QStringList& pieces, int chunkDelayMs = 0);
};
