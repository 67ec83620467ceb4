#pragma once

#include "models/text_piece_stream.h"
#include "models/wire_messages.h"
#include "server/http_request.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTcpServer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class RequestGuard;
class ServerConnection;

// The phone server: serves the chat page at "/" and streams replies to
// "/api/chat" as JSON lines, one request per connection. Lives on the main
// thread and never blocks it; every hook is called there, in order.
//
// The shown address carries a per-start access key; requests for another
// host, from another origin, or without the key are refused.
class LocalServer : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultMaxConnections = 32;
    static constexpr std::chrono::milliseconds kDefaultIdleTimeout{30'000};

    explicit LocalServer(quint16 port, QObject* parent = nullptr);
    ~LocalServer() override;

    // Called before start() and stop() return.
    std::function<void(bool running, std::optional<QString> url)> onStatusChange;
    // Queued in arrival order: the request's user text, then its pieces, then done.
    std::function<void(QString text)> onWebUserMessage;
    std::function<void(QString piece)> onWebAssistantToken;
    std::function<void()> onWebAssistantDone;
    std::function<QString()> systemPromptProvider;
    std::function<TextPieceStream*(WireMessages messages)> streamingServiceProvider;

    // 0 asks for any free port; the reported address then names the real one.
    quint16 port;

    void start();
    // Stops listening and drops the connections still open, replies in progress
    // included: the phone stops receiving, the desktop keeps what it has.
    void stop();

    bool isListening() const { return m_listener.isListening(); }
    quint16 listeningPort() const { return m_listener.serverPort(); }
    QString accessKey() const { return m_accessKey; }
    void setIdleTimeout(std::chrono::milliseconds timeout) { m_idleTimeout = timeout; }
    // Connections beyond this many at once are closed as soon as they arrive.
    void setMaxConnections(int count) { m_maxConnections = count; }

private:
    void acceptConnections();
    void handleRequest(ServerConnection* connection, const HttpRequest& request);
    void answerChat(ServerConnection* connection, const HttpRequest& request);
    void startReply(QPointer<ServerConnection> connection, WireMessages messages);
    void reportStatus(bool running, std::optional<QString> url);
    void queueHook(std::function<void()> call);
    void dropConnections();

    QTcpServer m_listener{this}; // a child, so that it follows the server to another thread
    std::unique_ptr<RequestGuard> m_guard;
    QString m_accessKey;
    std::chrono::milliseconds m_idleTimeout = kDefaultIdleTimeout;
    int m_maxConnections = kDefaultMaxConnections;
    QSet<ServerConnection*> m_connections;
    quint64 m_run = 0; // changes at every start and stop; queued work of an old run is dropped
};
