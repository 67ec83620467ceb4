#pragma once

#include "core/request_sender.h"
#include "models/ai_service.h"
#include "server/local_server.h"
#include "server/reply_source.h"

#include <QObject>
#include <QPointer>
#include <QUuid>

#include <optional>

class ConversationStore;
class PersonaManager;

// The controller's side of phone access: starts and stops the phone server,
// answers it with the persona's prompt and the chosen client, and mirrors every
// phone exchange into one desktop conversation. The phone path streams replies
// without tools and records no memory tags.
class WebBridge : public QObject, private ReplySource {
    Q_OBJECT

public:
    WebBridge(ConversationStore* store, PersonaManager* persona, quint16 port,
              QObject* parent = nullptr);
    ~WebBridge() override;

    // Replaces the timer a rate-limited phone reply waits on (tests wait for their own signal).
    void setWait(RequestSender::Wait wait) { m_wait = std::move(wait); }
    // Whether the phone page draws replies from their Markdown (the desktop's preference).
    void setFormatsReplies(std::function<bool()> formats) { m_formatsReplies = std::move(formats); }

    // The server answers with `service`, the client active now, until it is stopped.
    void startServer(AIServiceProtocol* service);
    void stopServer();
    quint16 port() const { return m_port; }

    std::optional<QUuid> webConversationId() const { return m_webConversationId; }
    QUuid ensureWebConversation();
    // The phone conversation kept from an earlier launch: phone messages go on in it.
    void adoptWebConversation(const QUuid& id);
    void receiveWebUserMessage(const QString& text);
    void appendWebAssistantToken(const QString& piece);

Q_SIGNALS:
    // The server's own reports: listening with the address to show, or not.
    void statusChanged(bool running, std::optional<QString> url);
    // A phone reply has ended (normally or not); the mirror holds what arrived.
    void webReplyFinished();

private:
    QString systemPrompt() override;
    TextPieceStream* streamReply(WireMessages messages) override;
    bool formatsReplies() override { return m_formatsReplies && m_formatsReplies(); }
    void dropServer();

    QPointer<ConversationStore> m_store;
    QPointer<PersonaManager> m_persona;
    quint16 m_port;
    QPointer<LocalServer> m_server;
    // The phone keeps the client chosen at start: a later backend switch does not reach it.
    QPointer<AIServiceProtocol> m_service;
    std::optional<QUuid> m_webConversationId;
    RequestSender::Wait m_wait = timerWait;
    std::function<bool()> m_formatsReplies;
};
