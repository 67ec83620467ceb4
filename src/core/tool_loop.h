#pragma once

#include "core/wire_message_cache.h"
#include "models/ai_service.h"

#include <QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

class ConversationStore;
class PersonaManager;
class ToolApproval;
class RequestSender;
class ToolRunner;
class StreamedReply;

// The agent loop for one user message: ask the model, run the tools it asks
// for, answer it with their results, and go again, at most maxToolIterations
// model calls. It holds ids, never positions: after every wait it looks its
// conversation and placeholder up again and quietly ends if either is gone.
class ToolLoop : public QObject {
    Q_OBJECT

public:
    struct Backend {
        AIServiceProtocol* service;
        WireMode mode;
        QString provider = {}; // its name and its model's, for the transcript's notes
        QString model = {};
        bool streamsReplies = false; // each reply shown as it is written
    };

    ToolLoop(ConversationStore* store, PersonaManager* persona, ToolRunner* tools,
             ToolApproval* approval, std::function<Backend()> currentBackend,
             QObject* parent = nullptr);

    static constexpr int maxToolIterations = 10;

    // What a failed request leaves in the reply's place, before what went wrong.
    static QString errorReplyPrefix() { return QStringLiteral("Error: "); }
    // The result of each tool call a Stop kept from starting.
    static QString notRunAfterStop() { return QStringLiteral("Not run: stopped by the user"); }

    QCoro::Task<> runGeneration(QUuid conversationId, QString systemPrompt,
                                std::shared_ptr<RequestCancellation> cancellation);

    // Shown under a reply whose memory tag could not be saved, before the reason.
    static QString memoryNotSavedPrefix() { return QStringLiteral("Could not save to memory: "); }

    // Records the memory tags of a final reply in today's log; answers the
    // line for under the reply when one could not be saved, else nothing.
    QString recordMemoryTags(const QString& reply);

    // Sends each request, waiting out a short rate limit and fitting the
    // conversation to the model's context.
    RequestSender* requests() const { return m_requests; }

    // Since when the reply being written has had only reasoning; nothing
    // otherwise, and whenever replies are not shown as they are written.
    std::optional<QDateTime> replyThinkingSince() const;

Q_SIGNALS:
    void replyThinkingChanged();

private:
    // What shows the reply of one request as it arrives, when the backend asks for it.
    std::unique_ptr<StreamedReply> startStreamedReply(const Backend& backend,
                                                      const QUuid& conversationId,
                                                      const QUuid& placeholderId);
    // What arrived of the reply before the request ended; the view stops showing it.
    QString endStreamedReply(std::unique_ptr<StreamedReply> streamed);

    bool changesPersona(const NativeToolCall& call) const;

    QPointer<ConversationStore> m_store;
    QPointer<PersonaManager> m_persona;
    QPointer<ToolRunner> m_tools;
    QPointer<ToolApproval> m_approval;
    std::function<Backend()> m_currentBackend;
    WireMessageCache m_wireCache;
    RequestSender* m_requests;
    QPointer<StreamedReply> m_streamed;
};
