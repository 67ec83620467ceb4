#pragma once

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

class ReplySource;
class RequestGuard;
class ServerConnection;

// The phone server: serves the chat page at "/" and streams replies to
// "/api/chat" as JSON lines, one request per connection. Lives on the main
// thread and never blocks it; every signal is emitted there, in order.
//
// The shown address carries a per-start access key; requests for another
// host, from another origin, or without the key are refused.
class LocalServer : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultMaxConnections = 32;
    static constexpr int kRefusalsPerPlace = 8;

    explicit LocalServer(quint16 port, QObject* parent = nullptr);
    ~LocalServer() override;

    // Where replies come from; not owned. Without one, chat requests end empty.
    void setReplySource(ReplySource* source) { m_replySource = source; }

    // 0 asks for any free port; the reported address then names the real one.
    quint16 port;

    void start();
    // Stops listening and drops the connections still open, replies in progress
    // included: the phone stops receiving, the desktop keeps what it has.
    void stop();

    bool isListening() const { return m_listener.isListening(); }
    void setTimeouts(const ConnectionTimeouts& timeouts) { m_timeouts = timeouts; }
    // At most this many connections at once. A newcomer beyond it takes the
    // place of the oldest one that has not sent a whole request yet (or is
    // done and only waiting for its peer to close); when every one is being
    // answered, the newcomer is answered "503 Service Unavailable" with
    // "Retry-After: 1"; so is a connection that gives its place up before its
    // request was in. Up to kRefusalsPerPlace times the cap are answered so at
    // once; past that a newcomer is closed unanswered.
    void setMaxConnections(int count) { m_maxConnections = count; }
    int connectionCount() const { return int(m_connections.size()); }

Q_SIGNALS:
    // Emitted before start() and stop() return.
    void statusChanged(bool running, std::optional<QString> url);
    // Queued in arrival order: a request's user text, then its reply's pieces, then done.
    void webUserMessage(const QString& text);
    void webAssistantToken(const QString& piece);
    void webAssistantDone();

private:
    void acceptConnection(qintptr descriptor);
    bool makeRoom();
    void refuseBusy(qintptr descriptor);
    bool mayRefuse() const;
    void refuse(ServerConnection* connection);
    void handleRequest(ServerConnection* connection, const HttpRequest& request);
    void answerChat(ServerConnection* connection, const HttpRequest& request);
    void startReply(QPointer<ServerConnection> connection, WireMessages messages);
    void reportStatus(bool running, std::optional<QString> url);
    void queue(std::function<void()> call);
    void dropConnections();

    DescriptorListener m_listener{this}; // a child, so that it follows the server to another thread
    std::unique_ptr<RequestGuard> m_guard;
    ReplySource* m_replySource = nullptr;
    QString m_accessKey;
    ConnectionTimeouts m_timeouts;
    int m_maxConnections = kDefaultMaxConnections;
    QList<ServerConnection*> m_connections; // oldest first
    int m_refusals = 0;                     // 503 answers still being written or drained
    quint64 m_run = 0; // changes at every start and stop; queued work of an old run is dropped
};
