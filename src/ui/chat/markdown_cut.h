#pragma once

#include <QString>

// Where a reply's Markdown can be cut so that the two parts read alone give
// the blocks the whole gives: a line at the left edge that starts a paragraph
// or heading after a blank line, outside code fences. Nothing before such a
// line can reach past it (lists, quotes and tables end at it), so a growing
// reply needs only its end read again.

// The start of the last such line after `from` (itself a cut, or 0), or
// `from` when there is none.
qsizetype lastMarkdownCut(const QString& markdown, qsizetype from);

// Whether a text defines a link reference: such a text has no cut, as the
// definition changes links anywhere in it. A growing text is read again only
// from its last line, as long as what came before stays the same.
class ReferenceDefinitions {
public:
    bool foundIn(const QString& markdown);
    // The text changed from `position` on.
    void changedFrom(qsizetype position);

private:
    // The text before it (up to a line start) defines none.
    qsizetype m_clean = 0;
};
