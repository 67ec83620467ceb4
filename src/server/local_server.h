#pragma once

#include "models/text_piece_stream.h"
#include "models/wire_messages.h"
#include "server/connection_timeouts.h"
#include "server/descriptor_listener.h"
#include "server/http_request.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

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
    void setTimeouts(const ConnectionTimeouts& timeouts) { m_timeouts = timeouts; }
    // At most this many connections at once. A newcomer beyond it takes the
    // place of the oldest one that has not sent a whole request yet (or is
    // done and only waiting for its peer to close); when every one is being
    // answered, the newcomer is closed at once.
    void setMaxConnections(int count) { m_maxConnections = count; }
    int connectionCount() const { return int(m_connections.size()); }

private:
    void acceptConnection(qintptr descriptor);
    bool makeRoom();
    void handleRequest(ServerConnection* connection, const HttpRequest& request);
    void answerChat(ServerConnection* connection, const HttpRequest& request);
    void startReply(QPointer<ServerConnection> connection, WireMessages messages);
    void reportStatus(bool running, std::optional<QString> url);
    void queueHook(std::function<void()> call);
    void dropConnections();

    DescriptorListener m_listener{this}; // a child, so that it follows the server to another thread
    std::unique_ptr<RequestGuard> m_guard;
    QString m_accessKey;
    ConnectionTimeouts m_timeouts;
    int m_maxConnections = kDefaultMaxConnections;
    QList<ServerConnection*> m_connections; // oldest first
    quint64 m_run = 0; // changes at every start and stop; queued work of an old run is dropped
};
