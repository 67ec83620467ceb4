#include "core/web_bridge.h"

#include "core/conversation_store.h"
#include "models/ai_service.h"
#include "persona/persona_manager.h"
#include "server/local_server.h"

namespace {

const QString phoneTitle = QStringLiteral("📱 Phone Chat");
const QString phoneTitlePrefix = QStringLiteral("📱 ");

} // namespace

WebBridge::WebBridge(ConversationStore* store, PersonaManager* persona, quint16 port,
                     QObject* parent)
    : QObject(parent), m_store(store), m_persona(persona), m_port(port) {}

WebBridge::~WebBridge() {
    if (m_server) {
        // The hooks point back here; the server must not report into a dead bridge.
        m_server->onStatusChange = nullptr;
        m_server->stop();
        delete m_server;
    }
}

void WebBridge::startServer(AIServiceProtocol* service) {
    if (m_server) {
        // A server whose listener failed is replaced by the new one.
        m_server->onStatusChange = nullptr;
        m_server->stop();
        m_server->deleteLater();
    }
    auto* server = new LocalServer(m_port, this);
    QPointer<WebBridge> self(this);
    server->onStatusChange = [self](bool running, std::optional<QString> url) {
        if (self) {
            Q_EMIT self->statusChanged(running, url);
        }
    };
    server->onWebUserMessage = [self](const QString& text) {
        if (self) {
            self->receiveWebUserMessage(text);
        }
    };
    server->onWebAssistantToken = [self](const QString& piece) {
        if (self) {
            self->appendWebAssistantToken(piece);
        }
    };
    server->onWebAssistantDone = [self] {
        if (self) {
            Q_EMIT self->webReplyFinished();
        }
    };
    server->systemPromptProvider = [self]() -> QString {
        return self && self->m_persona ? self->m_persona->systemPrompt() : QString();
    };
    // The phone keeps the client chosen now: a later backend switch does not reach it.
    QPointer<QObject> serviceObject = dynamic_cast<QObject*>(service);
    server->streamingServiceProvider = [service,
                                        serviceObject](WireMessages messages) -> TextPieceStream* {
        if (!serviceObject) {
            return nullptr;
        }
        return service->streamChat(std::move(messages));
    };
    m_server = server;
    server->start();
}

void WebBridge::stopServer() {
    if (!m_server) {
        return;
    }
    // Stopping reports "not running" through the status hook.
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
