#include "text/user_characters.h"

#include <QTextBoundaryFinder>

QString firstCharacters(const QString& text, qsizetype count) {
    if (text.size() <= count) {
        return text; // never more characters than UTF-16 units
    }
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    qsizetype taken = 0;
    while (taken < count && boundaries.toNextBoundary() >= 0) {
        ++taken;
    }
    return taken < count ? text : text.left(boundaries.position());
}

int characterCount(const QString& text) {
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (boundaries.toNextBoundary() > 0) {
        ++count;
    }
    return count;
}
