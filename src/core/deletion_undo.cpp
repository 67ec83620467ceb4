#include "core/deletion_undo.h"

#include "core/conversation_store.h"

DeletionUndo::DeletionUndo(ConversationStore* store, QObject* parent)
    : QObject(parent), m_store(store) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(defaultTimeout);
    connect(&m_timer, &QTimer::timeout, this, &DeletionUndo::dismiss);
}

void DeletionUndo::hold(Conversation conversation, int index) {
    if (m_held) {
        const QUuid previous = m_held->conversation.id;
        m_held.reset();
        Q_EMIT finalized(previous);
    }
    m_held = Held{std::move(conversation), index};
    m_timer.start();
    Q_EMIT availableChanged();
}

void DeletionUndo::undo() {
    if (!m_held) {
        return;
    }
    m_timer.stop();
    Held held = std::move(*m_held);
    m_held.reset();
    const QUuid id = held.conversation.id;
    m_store->insertAt(held.index, std::move(held.conversation));
    m_store->setCurrentConversationId(id);
    Q_EMIT availableChanged();
}

void DeletionUndo::dismiss() {
    if (!m_held) {
        return;
    }
    m_timer.stop();
    const QUuid id = m_held->conversation.id;
    m_held.reset();
    Q_EMIT availableChanged();
    Q_EMIT finalized(id);
}
