#include "core/streamed_reply.h"

#include "core/conversation_store.h"

StreamedReply::StreamedReply(ConversationStore* store, QUuid conversationId, QUuid placeholderId,
                             QObject* parent)
    : QObject(parent), m_store(store), m_conversationId(conversationId),
      m_placeholderId(placeholderId) {
    // The pieces of one network read change the reply once, on the next turn of
    // the event loop; the window draws whatever stands at its next frame.
    m_show.setSingleShot(true);
    m_show.setInterval(0);
    connect(&m_show, &QTimer::timeout, this, &StreamedReply::showNow);
}

ReplyProgress StreamedReply::progress() {
    QPointer<StreamedReply> self(this);
    return {[self](const QString& piece) {
                if (self) {
                    self->addText(piece);
                }
            },
            [self] {
                if (self) {
                    self->noteReasoning();
                }
            }};
}

void StreamedReply::addText(const QString& piece) {
    m_text += piece;
    if (m_thinkingSince) {
        m_thinkingSince.reset();
        Q_EMIT thinkingChanged();
    }
    if (!m_show.isActive()) {
        m_show.start();
    }
}

void StreamedReply::noteReasoning() {
    if (m_text.isEmpty() && !m_thinkingSince) {
        m_thinkingSince = QDateTime::currentDateTimeUtc();
        Q_EMIT thinkingChanged();
    }
}

void StreamedReply::showNow() {
    if (m_store && !m_text.isEmpty()) {
        m_store->setMessageContent(m_conversationId, m_placeholderId, m_text);
    }
}
