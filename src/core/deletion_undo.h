#pragma once

#include "core/conversation.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>

class ConversationStore;

// The last deleted conversation, held for a while so that the user can take
// the deletion back: it returns at its old place, with its messages, and is
// selected. A newer deletion, or the time running out, makes the held one final.
class DeletionUndo : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool available READ available NOTIFY availableChanged)
    Q_PROPERTY(QString title READ title NOTIFY availableChanged)

public:
    static constexpr std::chrono::milliseconds defaultTimeout{10000};

    explicit DeletionUndo(ConversationStore* store, QObject* parent = nullptr);

    bool available() const { return m_held.has_value(); }
    QString title() const { return m_held ? m_held->conversation.title : QString(); }
    void setTimeout(std::chrono::milliseconds timeout) { m_timer.setInterval(timeout); }

    // Holds `conversation`, deleted from `index`.
    void hold(Conversation conversation, int index);
    Q_INVOKABLE void undo();
    // Makes the held deletion final now.
    Q_INVOKABLE void dismiss();

Q_SIGNALS:
    void availableChanged();
    // The deletion can no longer be taken back.
    void finalized(const QUuid& conversationId);

private:
    struct Held {
        Conversation conversation;
        int index = 0;
    };

    ConversationStore* m_store;
    std::optional<Held> m_held;
    QTimer m_timer;
};
