#include "prefixed_text.h"

void PrefixedText::setPrefix(const QString& prefix) {
    if (m_prefix != prefix) {
        m_prefix = prefix;
        Q_EMIT joinedChanged();
    }
}

void PrefixedText::setText(const QString& text) {
    // Shared, not compared: a streamed reply changes at its end.
    m_text = text;
    if (m_textShown) {
        Q_EMIT joinedChanged();
    }
}

void PrefixedText::setTextShown(bool shown) {
    if (m_textShown != shown) {
        m_textShown = shown;
        Q_EMIT joinedChanged();
    }
}
