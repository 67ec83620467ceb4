#include "persona/memory_tags.h"

#include "persona/line_text.h"

#include <QRegularExpression>

QStringList memoryTags(const QString& reply) {
    // The run excludes every line-break character, not only LF.
    static const QRegularExpression tag(
        QStringLiteral(
            "\\[memory[:\\x{FF1A}]\\s*([^\\n\\x{0B}\\x{0C}\\r\\x{85}\\x{2028}\\x{2029}]+?)\\]"),
        QRegularExpression::UseUnicodePropertiesOption);
    QStringList texts;
    for (const QRegularExpressionMatch& match : tag.globalMatch(reply)) {
        const QString text = trimSpacesAndTabs(match.capturedView(1));
        if (!text.isEmpty()) {
            texts.append(text);
        }
    }
    return texts;
}
