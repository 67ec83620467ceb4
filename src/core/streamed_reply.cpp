#include "core/streamed_reply.h"

#include "core/conversation_store.h"

#include <utility>

using namespace std::chrono_literals;

StreamedReply::StreamedReply(ConversationStore* store, QUuid conversationId, QUuid placeholderId,
                             QObject* parent)
    : QObject(parent), m_store(store), m_conversationId(conversationId),
      m_placeholderId(placeholderId) {
    m_frame.setSingleShot(true);
    m_frame.setInterval(16ms);
    connect(&m_frame, &QTimer::timeout, this, [this] {
        if (std::exchange(m_pending, false)) {
            showNow();
            m_frame.start();
        }
    });
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
    // The first piece shows at once; those that follow within a frame show together.
    if (!m_frame.isActive()) {
        showNow();
        m_frame.start();
    } else {
        m_pending = true;
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
