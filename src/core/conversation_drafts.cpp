#include "core/conversation_drafts.h"

QString ConversationDrafts::switchTo(std::optional<QUuid> entered, const QString& shownText) {
    if (entered == m_shown) {
        return shownText;
    }
    if (m_shown) {
        if (shownText.isEmpty()) {
            m_drafts.remove(*m_shown);
        } else {
            m_drafts.insert(*m_shown, shownText);
        }
    }
    m_shown = entered;
    return entered ? m_drafts.take(*entered) : QString();
}

void ConversationDrafts::forget(const QUuid& id) {
    m_drafts.remove(id);
    if (m_shown == id) {
        m_shown.reset();
    }
}
