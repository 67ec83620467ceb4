#include "server/local_server.h"

#include "server/access_key.h"
#include "server/chat_exchange.h"
#include "server/chat_request.h"
#include "server/http_response.h"
#include "server/local_address.h"
#include "server/phone_page.h"
#include "server/reply_source.h"
#include "server/request_guard.h"
#include "server/server_connection.h"
#include "server/server_texts.h"

#include <algorithm>
#include <unistd.h>

LocalServer::LocalServer(quint16 port, QObject* parent) : QObject(parent), port(port) {
    connect(&m_listener, &DescriptorListener::accepted, this, &LocalServer::acceptConnection);
    connect(&m_listener, &QTcpServer::acceptError, this, [this] {
        // Qt stops accepting after a lasting error (for example no file descriptors left).
        m_listener.close();
        dropConnections();
        reportStatus(false, std::nullopt);
    });
}

LocalServer::~LocalServer() {
    // While the members still exist: the connections report their end to them.
    m_listener.close();
    dropConnections();
}

void LocalServer::start() {
    if (m_listener.isListening()) {
        return;
    }
    // On Linux QTcpServer binds with SO_REUSEADDR, so a restart is not held up by
    // connections of the previous run in TIME_WAIT; a live listener still blocks it.
    if (!m_listener.listen(QHostAddress::Any, port)) {
        reportStatus(false, std::nullopt);
        return;
    }
    ++m_run;
    const quint16 realPort = m_listener.serverPort();
    m_accessKey = access_key::make();
    m_guard = std::make_unique<RequestGuard>(realPort);
    reportStatus(true, QStringLiteral("http://%1:%2/?key=%3")
                           .arg(localNetworkAddress(), QString::number(realPort), m_accessKey));
}

void LocalServer::stop() {
    ++m_run;
    m_listener.close();
    dropConnections();
    m_accessKey.clear();
    reportStatus(false, std::nullopt);
}

void LocalServer::dropConnections() {
    for (ChatExchange* exchange : findChildren<ChatExchange*>(Qt::FindDirectChildrenOnly)) {
        delete exchange;
    }
    const QList<ServerConnection*> open = m_connections;
    for (ServerConnection* connection : open) {
        connection->abort();
    }
}

void LocalServer::acceptConnection(qintptr descriptor) {
    if (m_connections.size() >= m_maxConnections && !makeRoom()) {
        refuseBusy(descriptor);
        return;
    }
    auto* connection = new ServerConnection(int(descriptor), m_timeouts, this);
    m_connections.append(connection);
    connect(connection, &ServerConnection::closed, this,
            [this, connection] { m_connections.removeOne(connection); });
    connect(connection, &ServerConnection::requestReceived, this,
            [this, connection](const HttpRequest& request) { handleRequest(connection, request); });
}

// Frees a place for a newcomer, so that connections that trickle their
// request, or never send one, cannot keep the phone out.
bool LocalServer::makeRoom() {
    // Peers that have left already, but whose leaving the event loop has not
    // delivered yet, free their places first.
    for (const QPointer<ServerConnection>& connection :
         QList<QPointer<ServerConnection>>(m_connections.cbegin(), m_connections.cend())) {
        if (connection) {
            connection->readPending();
        }
    }
    if (m_connections.size() < m_maxConnections) {
        return true;
    }
    const auto stalled = std::find_if(
        m_connections.cbegin(), m_connections.cend(), [](const ServerConnection* connection) {
            return connection->phase() != ServerConnection::Phase::answering;
        });
    if (stalled == m_connections.cend()) {
        return false;
    }
    ServerConnection* evicted = *stalled;
    if (evicted->phase() == ServerConnection::Phase::lingering || !mayRefuse()) {
        evicted->abort(); // removes itself from the list
        return true;
    }
    // One still sending its request is told to come back, like a newcomer:
    // many phones at once are not all slow attackers.
    m_connections.removeOne(evicted);
    disconnect(evicted, &ServerConnection::requestReceived, this, nullptr);
    refuse(evicted);
    return true;
}

bool LocalServer::mayRefuse() const {
    return m_refusals < kRefusalsPerPlace * m_maxConnections;
}

void LocalServer::refuse(ServerConnection* connection) {
    ++m_refusals;
    connect(connection, &ServerConnection::closed, this, [this] { --m_refusals; });
    connection->sendAndClose(http_response::busy());
}

// Says so rather than dropping the newcomer, so the phone can try again. The
// refusal drains what the peer sends before closing: closing on unread bytes
// would reset the connection and could destroy the answer. Refusals are
// bounded too, so a flood of connections cannot hold descriptors without end.
void LocalServer::refuseBusy(qintptr descriptor) {
    if (!mayRefuse()) {
        ::close(int(descriptor));
        return;
    }
    refuse(new ServerConnection(int(descriptor), m_timeouts, this));
}

void LocalServer::handleRequest(ServerConnection* connection, const HttpRequest& request) {
    if (!m_guard || !m_guard->isOwnRequest(request)) {
        connection->sendAndClose(http_response::plainText(403, server_texts::kForeignRequest));
        return;
    }
    const QString path = request.path();
    const bool hasKey = access_key::queryCarries(request.query(), m_accessKey);
    if (request.method == QLatin1String("OPTIONS")) {
        connection->sendAndClose(http_response::preflight());
    } else if (request.method == QLatin1String("GET") && path == QLatin1String("/")) {
        connection->sendAndClose(
            hasKey ? http_response::complete(
                         200, server_texts::kContentTypeHtml,
                         phonePage(m_replySource && m_replySource->formatsReplies()))
                   : http_response::plainText(403, server_texts::kMissingKeyPage));
    } else if (request.method == QLatin1String("POST") && path == QLatin1String("/api/chat")) {
        if (hasKey) {
            answerChat(connection, request);
        } else {
            connection->sendAndClose(http_response::plainText(403, server_texts::kMissingKeyChat));
        }
    } else {
        connection->sendAndClose(http_response::plainReason(404));
    }
}

void LocalServer::answerChat(ServerConnection* connection, const HttpRequest& request) {
    std::optional<ChatRequest> chat = parseChatRequest(request.body);
    if (!chat) {
        connection->sendAndClose(http_response::plainReason(400));
        return;
    }
    if (chat->lastUserText) {
        queue([this, text = *chat->lastUserText] { Q_EMIT webUserMessage(text); });
    }
    connection->send(http_response::jsonLinesHeader());
    // Behind the user message in the queue: the desktop mirrors the question
    // before the prompt is assembled and the model is asked.
    queue([this, run = m_run, connection = QPointer(connection), messages = chat->messages] {
        if (run == m_run) { // not stopped meanwhile
            startReply(connection, messages);
        }
    });
}

// Runs even when the phone has already left: the desktop mirrors the reply.
void LocalServer::startReply(QPointer<ServerConnection> connection, WireMessages messages) {
    const QPointer self(this);
    const quint64 run = m_run;
    TextPieceStream* stream = nullptr;
    if (m_replySource) {
        const QString systemPrompt = m_replySource->systemPrompt();
        stream = m_replySource->streamReply(modelMessages(systemPrompt, messages));
    }
    if (!self || run != m_run) {
        return; // the reply source stopped the server
    }
    if (!stream) {
        if (connection) {
            connection->sendAndClose();
        }
        return;
    }
    auto* exchange = new ChatExchange(connection, stream, this);
    connect(exchange, &ChatExchange::pieceForwarded, this, [this](const QString& piece) {
        queue([this, piece] { Q_EMIT webAssistantToken(piece); });
    });
    connect(exchange, &ChatExchange::ended, this,
            [this] { queue([this] { Q_EMIT webAssistantDone(); }); });
}

void LocalServer::reportStatus(bool running, std::optional<QString> url) {
    Q_EMIT statusChanged(running, std::move(url));
}

void LocalServer::queue(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}
