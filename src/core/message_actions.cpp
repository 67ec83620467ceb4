#include "core/message_actions.h"

#include "core/conversation_store.h"

MessageActions::MessageActions(ConversationStore* store, QObject* parent)
    : QObject(parent), m_store(store) {
    connect(store, &ConversationStore::currentConversationIdChanged, this, [this] {
        m_edited.reset(); // an edit belongs to the conversation it started in
        Q_EMIT changed();
    });
    connect(store, &ConversationStore::messageAppended, this, &MessageActions::changed);
    connect(store, &ConversationStore::messagesRemoved, this, &MessageActions::changed);
    connect(store, &ConversationStore::conversationRemoved, this, &MessageActions::changed);
}

const Conversation* MessageActions::current() const {
    return m_store->currentConversation();
}

std::optional<qsizetype> MessageActions::lastQuestionIndex(const Conversation& conversation) {
    for (qsizetype i = conversation.messages.size() - 1; i >= 0; --i) {
        if (conversation.messages.at(i).role == Role::user) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<qsizetype> MessageActions::lastReplyIndex(const Conversation& conversation) {
    const qsizetype question = lastQuestionIndex(conversation).value_or(-1);
    for (qsizetype i = conversation.messages.size() - 1; i > question; --i) {
        if (conversation.messages.at(i).role == Role::assistant) {
            return i;
        }
    }
    return std::nullopt;
}

namespace {
QString idAt(const Conversation* conversation, std::optional<qsizetype> index) {
    return conversation && index
               ? conversation->messages.at(*index).id.toString(QUuid::WithoutBraces)
               : QString();
}
} // namespace

QString MessageActions::lastQuestionId() const {
    const Conversation* conversation = current();
    return idAt(conversation, conversation ? lastQuestionIndex(*conversation) : std::nullopt);
}

QString MessageActions::lastReplyId() const {
    const Conversation* conversation = current();
    return idAt(conversation, conversation ? lastReplyIndex(*conversation) : std::nullopt);
}

QString MessageActions::editedQuestionId() const {
    return m_edited ? m_edited->toString(QUuid::WithoutBraces) : QString();
}

std::optional<QString> MessageActions::beginEdit(const QUuid& messageId) {
    const Conversation* conversation = current();
    const auto question = conversation ? lastQuestionIndex(*conversation) : std::nullopt;
    if (!question || conversation->messages.at(*question).id != messageId) {
        return std::nullopt;
    }
    m_edited = messageId;
    Q_EMIT changed();
    return conversation->messages.at(*question).content;
}

void MessageActions::cancelEdit() {
    if (m_edited) {
        m_edited.reset();
        Q_EMIT changed();
    }
}

bool MessageActions::removeEditedQuestion() {
    const Conversation* conversation = current();
    const auto question = conversation ? lastQuestionIndex(*conversation) : std::nullopt;
    const bool applies =
        m_edited && question && conversation->messages.at(*question).id == *m_edited;
    m_edited.reset();
    if (!applies) {
        Q_EMIT changed();
        return false;
    }
    return m_store->removeMessagesFrom(conversation->id, int(*question));
}

bool MessageActions::removeReply(const QUuid& messageId) {
    const Conversation* conversation = current();
    const auto reply = conversation ? lastReplyIndex(*conversation) : std::nullopt;
    if (!reply || conversation->messages.at(*reply).id != messageId) {
        return false;
    }
    const int first = int(lastQuestionIndex(*conversation).value_or(-1) + 1);
    return m_store->removeMessagesFrom(conversation->id, first);
}
