#include "core/web_bridge.h"

#include "core/conversation_store.h"
#include "core/rate_limited_stream.h"
#include "persona/persona_manager.h"
#include "text/user_characters.h"

namespace {

const QString phoneTitle = QStringLiteral("📱 Phone Chat");
const QString phoneTitlePrefix = QStringLiteral("📱 ");

} // namespace

WebBridge::WebBridge(ConversationStore* store, PersonaManager* persona, quint16 port,
                     QObject* parent)
    : QObject(parent), m_store(store), m_persona(persona), m_port(port) {}

WebBridge::~WebBridge() {
    if (m_server) {
        dropServer();
        delete m_server;
    }
}

// The server stops without reporting into this bridge or asking it for replies.
void WebBridge::dropServer() {
    disconnect(m_server, nullptr, this, nullptr);
    m_server->setReplySource(nullptr);
    m_server->stop();
}

void WebBridge::startServer(AIServiceProtocol* service) {
    if (m_server) {
        // A server whose listener failed is replaced by the new one.
        dropServer();
        m_server->deleteLater();
    }
    m_service = service;
    auto* server = new LocalServer(m_port, this);
    server->setReplySource(this);
    connect(server, &LocalServer::statusChanged, this, &WebBridge::statusChanged);
    connect(server, &LocalServer::webUserMessage, this, &WebBridge::receiveWebUserMessage);
    connect(server, &LocalServer::webAssistantToken, this, &WebBridge::appendWebAssistantToken);
    connect(server, &LocalServer::webAssistantDone, this, &WebBridge::webReplyFinished);
    m_server = server;
    server->start();
}

QString WebBridge::systemPrompt() {
    return m_persona ? m_persona->systemPrompt() : QString();
}

TextPieceStream* WebBridge::streamReply(WireMessages messages) {
    // A short rate limit is waited out, as on the desktop.
    return streamWaitingOutRateLimits(
        [service = m_service, messages = std::move(messages)]() -> TextPieceStream* {
            return service ? service->streamChat(messages) : nullptr;
        },
        m_wait);
}

void WebBridge::stopServer() {
    if (!m_server) {
        return;
    }
    // Stopping reports "not running" through statusChanged.
    m_server->stop();
    m_server->deleteLater();
    m_server = nullptr;
}

QUuid WebBridge::ensureWebConversation() {
    if (m_webConversationId && m_store->find(*m_webConversationId) != nullptr) {
        return *m_webConversationId;
    }
    Conversation conversation = Conversation::make(phoneTitle);
    m_webConversationId = conversation.id;
    m_store->insertAndSelect(std::move(conversation));
    return *m_webConversationId;
}

void WebBridge::adoptWebConversation(const QUuid& id) {
    if (!m_webConversationId || m_store->find(*m_webConversationId) == nullptr) {
        m_webConversationId = id;
    }
}

void WebBridge::receiveWebUserMessage(const QString& text) {
    if (!m_store) {
        return;
    }
    const QUuid id = ensureWebConversation();
    if (!m_store->appendMessage(id, ChatMessage::make(Role::user, text))) {
        return;
    }
    m_store->appendMessage(id, ChatMessage::make(Role::assistant, QString()));
    m_store->touch(id);
    if (m_store->find(id)->messages.size() < 3) {
        m_store->setTitle(id, phoneTitlePrefix + firstCharacters(text, 24));
    }
    // Every phone message brings the phone conversation into view.
    m_store->setCurrentConversationId(id);
}

void WebBridge::appendWebAssistantToken(const QString& piece) {
    if (!m_store || !m_webConversationId) {
        return;
    }
    const Conversation* conversation = m_store->find(*m_webConversationId);
    if (conversation == nullptr || conversation->messages.isEmpty() ||
        conversation->messages.last().role != Role::assistant) {
        return; // the phone still gets the piece; only the mirror drops it
    }
    m_store->appendToLastMessage(*m_webConversationId, piece);
}
