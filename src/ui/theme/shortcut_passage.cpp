#include "shortcut_passage.h"

#include <QKeyEvent>

void ShortcutPassage::setTarget(QQuickItem* target) {
    if (m_target == target) {
        return;
    }
    if (m_target) {
        m_target->removeEventFilter(this);
    }
    m_target = target;
    if (m_target) {
        m_target->installEventFilter(this);
    }
    Q_EMIT targetChanged();
}

bool ShortcutPassage::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_target || event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
        key->accept();
    } else {
        // Ignored, the override goes on to the parents and then to the shortcuts.
        key->ignore();
    }
    return true;
}
