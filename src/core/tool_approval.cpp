#include "core/tool_approval.h"

#include "core/conversation_store.h"
#include "core/tool_approval_policy.h"
#include "models/request_cancellation.h"

#include <QCoroSignal>

ToolApproval::ToolApproval(ConversationStore* store, QString agentFolder,
                           std::function<ApprovalMode()> storedMode, QObject* parent)
    : QObject(parent), m_store(store), m_agentFolder(std::move(agentFolder)),
      m_storedMode(std::move(storedMode)) {
    connect(store, &ConversationStore::conversationAboutToBeRemoved, this,
            &ToolApproval::forgetConversation);
}

QString ToolApproval::declinedText(const QString& tool) {
    return QStringLiteral("The user declined this %1 call.").arg(tool);
}

QCoro::Task<bool> ToolApproval::approve(QUuid conversationId, NativeToolCall call,
                                        std::shared_ptr<RequestCancellation> cancellation) {
    if (m_actWithoutAsking || m_storedMode() == ApprovalMode::act ||
        m_allowedTools.value(conversationId).contains(call.name)) {
        co_return true;
    }
    // Worked out once, so the card shows the file the decision was made on.
    const WriteTarget target = writeTarget(call.name, call.arguments);
    if (!needsApproval(call.name, target, m_agentFolder)) {
        co_return true;
    }
    if (cancellation && cancellation->isCancelled()) {
        co_return false; // stopped: no card for a call that follows
    }
    // Only one loop runs at a time; a request left over from another is declined.
    deny();
    QPointer<ToolApproval> self(this);
    QMetaObject::Connection stop;
    if (cancellation) {
        stop =
            connect(cancellation.get(), &RequestCancellation::cancelled, this, &ToolApproval::deny);
    }
    m_answer.reset();
    m_pending = approvalRequestFor(conversationId, call.name, call.arguments, target);
    Q_EMIT pendingChanged();
    // Answered at once (no terminal to ask on), or awaited.
    std::optional<Answer> answer = m_answer;
    if (!answer) {
        answer = co_await qCoro(this, &ToolApproval::answered);
    }
    if (!self) {
        co_return false;
    }
    disconnect(stop);
    if (answer == Answer::allowForConversation) {
        m_allowedTools[conversationId].insert(call.name);
    }
    co_return answer == Answer::allow || answer == Answer::allowForConversation;
}

void ToolApproval::answer(Answer answer) {
    if (!m_pending) {
        return;
    }
    m_pending.reset();
    m_answer = answer;
    Q_EMIT pendingChanged();
    Q_EMIT answered(answer);
}

void ToolApproval::forgetConversation(int index) {
    const QUuid id = m_store->conversations().value(index).id;
    m_allowedTools.remove(id);
    if (m_pending && m_pending->conversationId == id) {
        deny();
    }
}

QString ToolApproval::conversationIdText() const {
    return m_pending ? m_pending->conversationId.toString(QUuid::WithoutBraces) : QString();
}
