#include "core/search_text.h"

#include <algorithm>

bool containsSearchText(QStringView text, QStringView wanted) {
    return !wanted.isEmpty() && text.contains(wanted, Qt::CaseInsensitive);
}

QString searchExcerpt(const QString& text, const QString& wanted, int width) {
    const qsizetype at = wanted.isEmpty() ? -1 : text.indexOf(wanted, 0, Qt::CaseInsensitive);
    if (at < 0) {
        return {};
    }
    // Some words before the match, so that it reads in its place.
    qsizetype start = std::max<qsizetype>(0, at - width / 4);
    qsizetype end =
        std::min<qsizetype>(text.size(), start + std::max<qsizetype>(width, wanted.size()));
    // Never cut a character that is two UTF-16 units in half.
    if (start > 0 && text.at(start).isLowSurrogate()) {
        --start;
    }
    if (end < text.size() && text.at(end).isLowSurrogate()) {
        ++end;
    }
    QString excerpt = text.mid(start, end - start).simplified();
    if (start > 0) {
        excerpt.prepend(QStringLiteral("…"));
    }
    if (end < text.size()) {
        excerpt.append(QStringLiteral("…"));
    }
    return excerpt;
}

QString highlightedMarkup(const QString& text, const QString& wanted) {
    if (wanted.isEmpty()) {
        return text.toHtmlEscaped();
    }
    QString markup;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(wanted, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(wanted, from, Qt::CaseInsensitive)) {
        markup += text.mid(from, at - from).toHtmlEscaped() + QStringLiteral("<b>") +
                  text.mid(at, wanted.size()).toHtmlEscaped() + QStringLiteral("</b>");
        from = at + wanted.size();
    }
    return markup + text.mid(from).toHtmlEscaped();
}
