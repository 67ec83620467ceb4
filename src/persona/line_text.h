#pragma once

#include <QString>
#include <QStringList>

// Line-level text rules shared by the soul's name lookup and the memory tags.

// True for the characters that end a line: LF, VT, FF, CR, NEL, LS and PS.
bool isLineBreak(QChar ch);

// Splits at every line-break character (CR LF gives an empty line between).
QStringList splitAtLineBreaks(const QString& text);

// Trims spaces (any Unicode space separator) and tabs, but not line breaks.
QString trimSpacesAndTabs(QStringView text);
