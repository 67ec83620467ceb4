#pragma once

#include <QObject>
#include <QUuid>

#include <optional>

class ConversationStore;
struct Conversation;

// The actions the transcript offers at the end of a conversation: its last
// question can be edited and sent again, its last reply asked for again. Both
// replace what follows, so they apply to the latest exchange only, and only
// while it still is the latest.
class MessageActions : public QObject {
    Q_OBJECT
    // Ids as text for the views; empty when there is none.
    Q_PROPERTY(QString lastQuestionId READ lastQuestionId NOTIFY changed)
    Q_PROPERTY(QString lastReplyId READ lastReplyId NOTIFY changed)
    // The question whose text is back in the input: sending replaces it.
    Q_PROPERTY(QString editedQuestionId READ editedQuestionId NOTIFY changed)

public:
    explicit MessageActions(ConversationStore* store, QObject* parent = nullptr);

    QString lastQuestionId() const;
    QString lastReplyId() const;
    QString editedQuestionId() const;

    // The question's text when it is the last one, which is from now on being
    // edited; nothing otherwise.
    std::optional<QString> beginEdit(const QUuid& messageId);
    Q_INVOKABLE void cancelEdit();
    // Removes the question being edited and everything after it; false, and
    // nothing removed, when no edit is going on or the question is no longer
    // the last one.
    bool removeEditedQuestion();
    // Removes the last reply with its tool records (all that follows the last
    // question); false when `messageId` is not that reply.
    bool removeReply(const QUuid& messageId);

    // Positions in a conversation: the last user message, and the last reply
    // to it (the last assistant message after it).
    static std::optional<qsizetype> lastQuestionIndex(const Conversation& conversation);
    static std::optional<qsizetype> lastReplyIndex(const Conversation& conversation);

Q_SIGNALS:
    void changed();
    // A question's text went back to the input: the input takes the focus.
    void editStarted();

private:
    const Conversation* current() const;

    ConversationStore* m_store;
    std::optional<QUuid> m_edited;
};
