#pragma once

#include "server/local_server.h"

#include <QObject>
#include <QPointer>
#include <QUuid>

#include <optional>

class AIServiceProtocol;
class ConversationStore;
class PersonaManager;

// The controller's side of phone access: starts and stops the phone server and
// mirrors every phone exchange into one desktop conversation. The phone path
// streams replies without tools and records no memory tags.
class WebBridge : public QObject {
    Q_OBJECT

public:
    WebBridge(ConversationStore* store, PersonaManager* persona, quint16 port,
              QObject* parent = nullptr);
    ~WebBridge() override;

    // The server answers with `service`, the client active now, until it is stopped.
    void startServer(AIServiceProtocol* service);
    void stopServer();
    LocalServer* localServer() const { return m_server; }

    std::optional<QUuid> webConversationId() const { return m_webConversationId; }
    QUuid ensureWebConversation();
    void receiveWebUserMessage(const QString& text);
    void appendWebAssistantToken(const QString& piece);

Q_SIGNALS:
    // The server's own reports: listening with the address to show, or not.
    void statusChanged(bool running, std::optional<QString> url);
    // A phone reply has ended (normally or not); the mirror holds what arrived.
    void webReplyFinished();

private:
    QPointer<ConversationStore> m_store;
    QPointer<PersonaManager> m_persona;
    quint16 m_port;
    QPointer<LocalServer> m_server;
    std::optional<QUuid> m_webConversationId;
};
