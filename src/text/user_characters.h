#pragma once

#include <QString>

// The first `count` user-perceived characters (grapheme clusters) of `text`, so
// that no accent or emoji is cut in two; the whole text when it has no more.
QString firstCharacters(const QString& text, qsizetype count);

// How many user-perceived characters `text` has, as a user would count them.
int characterCount(const QString& text);
