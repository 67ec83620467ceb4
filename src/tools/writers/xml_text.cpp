#include "tools/writers/xml_text.h"

#include <algorithm>

namespace {

bool isForbiddenInXml(char16_t c) {
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
}

bool needsWork(char16_t c) {
    return c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\'' || isForbiddenInXml(c);
}

} // namespace

QString escapeXmlText(const QString& text) {
    // Most cell and slide texts need nothing: hand them back without copying.
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return needsWork(c.unicode()); })) {
        return text;
    }
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (const QChar qc : text) {
        switch (const char16_t c = qc.unicode()) {
        case u'&':
            escaped += QLatin1String("&amp;");
            break;
        case u'<':
            escaped += QLatin1String("&lt;");
            break;
        case u'>':
            escaped += QLatin1String("&gt;");
            break;
        case u'"':
            escaped += QLatin1String("&quot;");
            break;
        case u'\'':
            escaped += QLatin1String("&apos;");
            break;
        default:
            if (!isForbiddenInXml(c)) {
                escaped += qc;
            }
        }
    }
    return escaped;
}
