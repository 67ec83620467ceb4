#include "text_line_spacing.h"

#include <QQuickTextDocument>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

void TextLineSpacing::setTarget(QQuickItem* target) {
    if (m_target == target) {
        return;
    }
    disconnect(m_textChanged);
    m_target = target;
    if (m_target) {
        m_textChanged = connect(m_target, SIGNAL(textChanged()), this, SLOT(apply()));
    }
    apply();
    Q_EMIT targetChanged();
}

void TextLineSpacing::setSpacing(qreal spacing) {
    if (qFuzzyCompare(m_spacing, spacing)) {
        return;
    }
    m_spacing = spacing;
    apply();
    Q_EMIT spacingChanged();
}

void TextLineSpacing::apply() {
    auto* quickDocument =
        m_target ? m_target->property("textDocument").value<QQuickTextDocument*>() : nullptr;
    if (quickDocument == nullptr || m_applying) {
        return;
    }
    m_applying = true;
    // The change is announced as a text change too, which lands here again while
    // the flag is up; blocks that already have the spacing are left alone.
    QTextDocument* document = quickDocument->textDocument();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat current = block.blockFormat();
        if (current.lineHeightType() == QTextBlockFormat::LineDistanceHeight &&
            qFuzzyCompare(current.lineHeight(), m_spacing)) {
            continue;
        }
        QTextBlockFormat format;
        format.setLineHeight(m_spacing, QTextBlockFormat::LineDistanceHeight);
        cursor.setPosition(block.position());
        cursor.mergeBlockFormat(format);
    }
    cursor.endEditBlock();
    m_applying = false;
}
