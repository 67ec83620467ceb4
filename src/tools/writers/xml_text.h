#pragma once

#include <QString>

// Text as character data or attribute value of a generated XML part: "&" first,
// then "<", ">", the double quote and the apostrophe become entity references.
// Characters XML 1.0 cannot carry at all (C0 controls other than tab, line feed
// and carriage return; U+FFFE, U+FFFF) are dropped: left in, they make the whole
// part unreadable to every consumer.
QString escapeXmlText(const QString& text);
