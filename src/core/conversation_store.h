#pragma once

#include "core/conversation.h"

#include <QObject>

#include <optional>

// The conversations, newest first, and the selection. Every change goes through
// here and is announced with a fine-grained signal, so list views never reset
// for an append. Work that waits (the tool loop, the phone bridge) keeps ids,
// never positions, and looks them up again after every wait.
class ConversationStore : public QObject {
    Q_OBJECT

public:
    explicit ConversationStore(QObject* parent = nullptr);

    const QList<Conversation>& conversations() const { return m_conversations; }
    std::optional<QUuid> currentConversationId() const { return m_currentId; }
    void setCurrentConversationId(std::optional<QUuid> id);

    // Position of a conversation, -1 when it is gone.
    int indexOf(const QUuid& id) const;
    const Conversation* find(const QUuid& id) const;
    const Conversation* currentConversation() const;
    const ChatMessage* findMessage(const QUuid& conversationId, const QUuid& messageId) const;
    int currentIndex() const;

    // Inserts at the top and selects it.
    void insertAndSelect(Conversation conversation);
    // Inserts at `index` (kept within the list) and leaves the selection alone.
    void insertAt(int index, Conversation conversation);
    // Adds conversations after the last one, in one change.
    void appendConversations(QList<Conversation> conversations);
    void deleteConversation(const QUuid& id);
    // The messages read from disk for a conversation that waited for them;
    // any that arrived meanwhile follow them.
    bool fillMessages(const QUuid& conversationId, QList<ChatMessage> messages);

    // Message edits; each returns false (and changes nothing) when the
    // conversation or message is gone.
    bool appendMessage(const QUuid& conversationId, ChatMessage message);
    // The reply's text becomes `content` ("Error: …"), with what mends it.
    bool setFailedReply(const QUuid& conversationId, const QUuid& messageId, const QString& content,
                        std::optional<ReplyFailure> failure);
    bool setMessageContent(const QUuid& conversationId, const QUuid& messageId,
                           const QString& content);
    // Content and the provider's reasoning of a reply, in one change.
    bool setReply(const QUuid& conversationId, const QUuid& messageId, const QString& content,
                  const std::optional<QString>& reasoningContent);
    bool setNotice(const QUuid& conversationId, const QUuid& messageId, const QString& notice);
    bool appendToLastMessage(const QUuid& conversationId, const QString& piece);
    // Removes the messages from `first` to the end (an edited question or a
    // reply asked for again replaces them).
    bool removeMessagesFrom(const QUuid& conversationId, int first);
    bool setTitle(const QUuid& conversationId, const QString& title);
    // The user's own title, which the first-message rule then leaves alone.
    bool rename(const QUuid& conversationId, const QString& title);
    bool touch(const QUuid& conversationId); // updatedAt = now

    // The desktop naming rule: named after its first user message (30 characters).
    void nameAfterFirstUserMessage(const QUuid& conversationId, const QString& userText);

Q_SIGNALS:
    // Structural changes come in pairs so list models can bracket them.
    void conversationsAboutToBeInserted(int first, int last);
    void conversationsInserted(int first, int last);
    void conversationAboutToBeRemoved(int index);
    void conversationRemoved(int index);
    void conversationChanged(int index); // title, dates or message count
    void messageAboutToBeAppended(const QUuid& conversationId, int messageIndex);
    void messageAppended(const QUuid& conversationId, int messageIndex);
    void messageChanged(const QUuid& conversationId, int messageIndex);
    void messagesAboutToBeRemoved(const QUuid& conversationId, int first, int last);
    void messagesRemoved(const QUuid& conversationId, int first, int last);
    void messagesFilled(const QUuid& conversationId);
    void currentConversationIdChanged();

private:
    Conversation* findMutable(const QUuid& id, int* index = nullptr);

    QList<Conversation> m_conversations;
    std::optional<QUuid> m_currentId;
};
