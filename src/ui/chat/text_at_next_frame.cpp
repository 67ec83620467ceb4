#include "text_at_next_frame.h"

void TextAtNextFrame::setText(const QString& text) {
    if (m_text == text) {
        return;
    }
    m_text = text;
    Q_EMIT textChanged();
    const bool grows = text.size() > m_current.size() && text.startsWith(m_current);
    if (grows && isComponentComplete() && window() != nullptr) {
        polish(); // the window polishes its items as a frame begins
    } else {
        handOn();
    }
}

void TextAtNextFrame::componentComplete() {
    QQuickItem::componentComplete();
    handOn();
}

void TextAtNextFrame::updatePolish() {
    handOn();
}

// Out of its window no frame comes: what waits is handed on now.
void TextAtNextFrame::itemChange(ItemChange change, const ItemChangeData& data) {
    QQuickItem::itemChange(change, data);
    if (change == ItemSceneChange && data.window == nullptr) {
        handOn();
    }
}

void TextAtNextFrame::handOn() {
    if (m_current != m_text) {
        m_current = m_text;
        Q_EMIT currentChanged();
    }
}
