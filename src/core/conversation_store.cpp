#include "core/conversation_store.h"

#include "text/user_characters.h"

#include <algorithm>

ConversationStore::ConversationStore(QObject* parent) : QObject(parent) {}

void ConversationStore::setCurrentConversationId(std::optional<QUuid> id) {
    if (m_currentId == id) {
        return;
    }
    m_currentId = id;
    Q_EMIT currentConversationIdChanged();
}

int ConversationStore::indexOf(const QUuid& id) const {
    for (int i = 0; i < m_conversations.size(); ++i) {
        if (m_conversations[i].id == id) {
            return i;
        }
    }
    return -1;
}

const Conversation* ConversationStore::find(const QUuid& id) const {
    const int index = indexOf(id);
    return index < 0 ? nullptr : &m_conversations[index];
}

const Conversation* ConversationStore::currentConversation() const {
    return m_currentId ? find(*m_currentId) : nullptr;
}

const ChatMessage* ConversationStore::findMessage(const QUuid& conversationId,
                                                  const QUuid& messageId) const {
    const Conversation* conversation = find(conversationId);
    if (conversation == nullptr) {
        return nullptr;
    }
    // The message asked for is nearly always one of the last.
    for (qsizetype i = conversation->messages.size() - 1; i >= 0; --i) {
        if (conversation->messages[i].id == messageId) {
            return &conversation->messages[i];
        }
    }
    return nullptr;
}

int ConversationStore::currentIndex() const {
    return m_currentId ? indexOf(*m_currentId) : -1;
}

Conversation* ConversationStore::findMutable(const QUuid& id, int* index) {
    const int found = indexOf(id);
    if (index != nullptr) {
        *index = found;
    }
    return found < 0 ? nullptr : &m_conversations[found];
}

void ConversationStore::insertAndSelect(Conversation conversation) {
    const QUuid id = conversation.id;
    insertAt(0, std::move(conversation));
    setCurrentConversationId(id);
}

void ConversationStore::insertAt(int index, Conversation conversation) {
    const int at = std::clamp(index, 0, static_cast<int>(m_conversations.size()));
    Q_EMIT conversationsAboutToBeInserted(at, at);
    m_conversations.insert(at, std::move(conversation));
    Q_EMIT conversationsInserted(at, at);
}

void ConversationStore::appendConversations(QList<Conversation> conversations) {
    if (conversations.isEmpty()) {
        return;
    }
    const int first = static_cast<int>(m_conversations.size());
    const int last = first + static_cast<int>(conversations.size()) - 1;
    Q_EMIT conversationsAboutToBeInserted(first, last);
    m_conversations.append(std::move(conversations));
    Q_EMIT conversationsInserted(first, last);
}

bool ConversationStore::fillMessages(const QUuid& conversationId, QList<ChatMessage> messages) {
    int index = -1;
    Conversation* conversation = findMutable(conversationId, &index);
    if (conversation == nullptr || !conversation->messagesPending) {
        return false;
    }
    conversation->messages = std::move(messages) + conversation->messages;
    conversation->messagesPending = false;
    Q_EMIT messagesFilled(conversationId);
    Q_EMIT conversationChanged(index);
    return true;
}

void ConversationStore::deleteConversation(const QUuid& id) {
    const int index = indexOf(id);
    if (index >= 0) {
        Q_EMIT conversationAboutToBeRemoved(index);
        m_conversations.removeAt(index);
        Q_EMIT conversationRemoved(index);
    }
    if (m_currentId == id) {
        setCurrentConversationId(
            m_conversations.isEmpty() ? std::nullopt : std::optional(m_conversations.first().id));
    }
}

bool ConversationStore::appendMessage(const QUuid& conversationId, ChatMessage message) {
    int index = -1;
    Conversation* conversation = findMutable(conversationId, &index);
    if (conversation == nullptr) {
        return false;
    }
    const int row = static_cast<int>(conversation->messages.size());
    Q_EMIT messageAboutToBeAppended(conversationId, row);
    conversation->messages.append(std::move(message));
    Q_EMIT messageAppended(conversationId, row);
    Q_EMIT conversationChanged(index);
    return true;
}

bool ConversationStore::removeMessagesFrom(const QUuid& conversationId, int first) {
    int index = -1;
    Conversation* conversation = findMutable(conversationId, &index);
    if (conversation == nullptr || first < 0 || first >= conversation->messages.size()) {
        return false;
    }
    const int last = int(conversation->messages.size()) - 1;
    Q_EMIT messagesAboutToBeRemoved(conversationId, first, last);
    conversation->messages.resize(first);
    Q_EMIT messagesRemoved(conversationId, first, last);
    Q_EMIT conversationChanged(index);
    return true;
}

bool ConversationStore::setMessageContent(const QUuid& conversationId, const QUuid& messageId,
                                          const QString& content) {
    Conversation* conversation = findMutable(conversationId);
    const ChatMessage* found = findMessage(conversationId, messageId);
    if (found == nullptr) {
        return false;
    }
    const qsizetype row = found - conversation->messages.constData();
    ChatMessage& message = conversation->messages[row];
    if (message.content != content) {
        message.content = content;
        Q_EMIT messageChanged(conversationId, static_cast<int>(row));
    }
    return true;
}

bool ConversationStore::setFailedReply(const QUuid& conversationId, const QUuid& messageId,
                                       const QString& content,
                                       std::optional<ReplyFailure> failure) {
    Conversation* conversation = findMutable(conversationId);
    const ChatMessage* found = findMessage(conversationId, messageId);
    if (found == nullptr) {
        return false;
    }
    // Set before the content, whose change announces both.
    conversation->messages[found - conversation->messages.constData()].failure = failure;
    return setMessageContent(conversationId, messageId, content);
}

bool ConversationStore::setReply(const QUuid& conversationId, const QUuid& messageId,
                                 const QString& content,
                                 const std::optional<QString>& reasoningContent) {
    Conversation* conversation = findMutable(conversationId);
    const ChatMessage* found = findMessage(conversationId, messageId);
    if (found == nullptr) {
        return false;
    }
    // The reasoning is not shown, so only the content change is announced.
    const qsizetype row = found - conversation->messages.constData();
    conversation->messages[row].reasoningContent = reasoningContent;
    return setMessageContent(conversationId, messageId, content);
}

bool ConversationStore::setNotice(const QUuid& conversationId, const QUuid& messageId,
                                  const QString& notice) {
    Conversation* conversation = findMutable(conversationId);
    const ChatMessage* found = findMessage(conversationId, messageId);
    if (found == nullptr) {
        return false;
    }
    const qsizetype row = found - conversation->messages.constData();
    conversation->messages[row].notice = notice;
    Q_EMIT messageChanged(conversationId, static_cast<int>(row));
    return true;
}

bool ConversationStore::appendToLastMessage(const QUuid& conversationId, const QString& piece) {
    Conversation* conversation = findMutable(conversationId);
    if (conversation == nullptr || conversation->messages.isEmpty()) {
        return false;
    }
    conversation->messages.last().content += piece;
    Q_EMIT messageChanged(conversationId, static_cast<int>(conversation->messages.size() - 1));
    return true;
}

bool ConversationStore::setTitle(const QUuid& conversationId, const QString& title) {
    int index = -1;
    Conversation* conversation = findMutable(conversationId, &index);
    if (conversation == nullptr) {
        return false;
    }
    if (conversation->title != title) {
        conversation->title = title;
        Q_EMIT conversationChanged(index);
    }
    return true;
}

bool ConversationStore::rename(const QUuid& conversationId, const QString& title) {
    Conversation* conversation = findMutable(conversationId);
    if (conversation == nullptr) {
        return false;
    }
    conversation->renamed = true;
    return setTitle(conversationId, title);
}

bool ConversationStore::touch(const QUuid& conversationId) {
    int index = -1;
    Conversation* conversation = findMutable(conversationId, &index);
    if (conversation == nullptr) {
        return false;
    }
    conversation->updatedAt = QDateTime::currentDateTime();
    Q_EMIT conversationChanged(index);
    return true;
}

void ConversationStore::nameAfterFirstUserMessage(const QUuid& conversationId,
                                                  const QString& userText) {
    const Conversation* conversation = find(conversationId);
    if (conversation == nullptr || conversation->renamed) {
        return;
    }
    const auto& messages = conversation->messages;
    const bool firstUserMessage =
        messages.size() == 1 || (messages.size() == 2 && messages.first().role == Role::assistant);
    if (firstUserMessage) {
        setTitle(conversationId, firstCharacters(userText, 30));
    }
}
