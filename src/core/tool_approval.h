#pragma once

#include "core/approval_mode.h"
#include "core/approval_request.h"
#include "models/model_reply.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

class ConversationStore;
class RequestCancellation;

// The step between the model and a change to the computer. The loop asks it
// before each call; a call that needs approval waits here, with no time limit,
// until the window or the terminal answers the pending request. Stop, or the
// conversation's deletion, answers it with a denial.
class ToolApproval : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isPending READ isPending NOTIFY pendingChanged)
    Q_PROPERTY(QString conversationId READ conversationIdText NOTIFY pendingChanged)
    Q_PROPERTY(QString tool READ tool NOTIFY pendingChanged)
    Q_PROPERTY(QString command READ command NOTIFY pendingChanged)
    Q_PROPERTY(QString path READ path NOTIFY pendingChanged)
    Q_PROPERTY(QString reachedPath READ reachedPath NOTIFY pendingChanged)
    Q_PROPERTY(QString targetDescription READ targetDescriptionText NOTIFY pendingChanged)
    Q_PROPERTY(QString otherNamesNote READ otherNamesNoteText NOTIFY pendingChanged)
    Q_PROPERTY(QString contentStart READ contentStart NOTIFY pendingChanged)

public:
    enum class Answer { allow, allowForConversation, deny };
    Q_ENUM(Answer)

    // `storedMode` is asked at each call, so a changed setting holds from the next one.
    ToolApproval(ConversationStore* store, QString agentFolder,
                 std::function<ApprovalMode()> storedMode, QObject* parent = nullptr);

    // Whether the call may run; asks first when it changes the computer.
    QCoro::Task<bool> approve(QUuid conversationId, NativeToolCall call,
                              std::shared_ptr<RequestCancellation> cancellation);

    // The result a declined call records.
    static QString declinedText(const QString& tool);

    // Act without asking, whatever is stored (emberglass-chat --yes).
    void actWithoutAsking() { m_actWithoutAsking = true; }

    const std::optional<ApprovalRequest>& pending() const { return m_pending; }
    bool isPending() const { return m_pending.has_value(); }
    QString tool() const { return m_pending ? m_pending->tool : QString(); }
    QString command() const { return m_pending ? m_pending->command : QString(); }
    QString path() const { return m_pending ? m_pending->path : QString(); }
    QString reachedPath() const { return m_pending ? m_pending->reachedPath : QString(); }
    QString contentStart() const { return m_pending ? m_pending->contentStart : QString(); }

    Q_INVOKABLE void allow() { answer(Answer::allow); }
    Q_INVOKABLE void allowForConversation() { answer(Answer::allowForConversation); }
    Q_INVOKABLE void deny() { answer(Answer::deny); }
    // Ends the wait of the pending call; nothing when none waits.
    void answer(Answer answer);

Q_SIGNALS:
    void pendingChanged();
    void answered(ToolApproval::Answer answer);

private:
    void forgetConversation(int index);
    QString conversationIdText() const;
    QString targetDescriptionText() const {
        return m_pending ? targetDescription(*m_pending) : QString();
    }
    QString otherNamesNoteText() const {
        return m_pending ? otherNamesNote(*m_pending) : QString();
    }

    QPointer<ConversationStore> m_store;
    const QString m_agentFolder;
    std::function<ApprovalMode()> m_storedMode;
    bool m_actWithoutAsking = false;
    std::optional<ApprovalRequest> m_pending;
    std::optional<Answer> m_answer; // the last request's
    // The tools allowed for the rest of each conversation.
    QHash<QUuid, QSet<QString>> m_allowedTools;
};
