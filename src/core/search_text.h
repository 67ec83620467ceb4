#pragma once

#include <QString>
#include <QStringView>

// Finding what the user typed in titles and message text: case does not
// matter, any part of a word matches.

bool containsSearchText(QStringView text, QStringView wanted);

// The line of `text` around the first match of `wanted`, cut to about
// `width` characters (with "…" where cut); empty when it does not match.
QString searchExcerpt(const QString& text, const QString& wanted, int width = 80);

// `text` as rich text for a list row: escaped, every match in bold.
QString highlightedMarkup(const QString& text, const QString& wanted);
