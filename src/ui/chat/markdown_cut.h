#pragma once

#include <QString>

// Where a reply's Markdown can be cut so that the two parts read alone give
// the blocks the whole gives: a line at the left edge that starts a paragraph
// or heading after a blank line, outside code fences. Nothing before such a
// line can reach past it (lists, quotes and tables end at it), so a growing
// reply needs only its end read again.

// The start of the last such line after `from` (itself a cut, or 0), or
// `from` when there is none. A text with a link reference definition has no
// cut: the definition changes links anywhere in the text.
qsizetype lastMarkdownCut(const QString& markdown, qsizetype from);
