#include "core/streamed_reply.h"

#include "core/conversation_store.h"

using namespace std::chrono_literals;

StreamedReply::StreamedReply(ConversationStore* store, QUuid conversationId, QUuid placeholderId,
                             QObject* parent)
    : QObject(parent), m_store(store), m_conversationId(conversationId),
      m_placeholderId(placeholderId) {
    m_frame.setSingleShot(true);
    m_frame.setInterval(16ms);
    connect(&m_frame, &QTimer::timeout, this, &StreamedReply::showNow);
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
    if (!m_frame.isActive()) {
        m_frame.start();
    }
}

void StreamedReply::noteReasoning() {
    if (m_text.isEmpty() && !m_thinkingSince) {
        m_thinkingSince = QDateTime::currentDateTimeUtc();
        Q_EMIT thinkingChanged();
    }
}

void StreamedReply::showNow() {
    m_frame.stop();
    if (m_store && !m_text.isEmpty()) {
        m_store->setMessageContent(m_conversationId, m_placeholderId, m_text);
    }
}
