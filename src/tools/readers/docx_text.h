#pragma once

#include "tools/readers/ooxml_xml.h"

#include <QByteArrayView>

// The text of a word/document.xml part: the text of every w:t element in
// document order, runs joined as they are, one line break at each paragraph
// boundary, trimmed. References are decoded (R&amp;D reads as R&D). A text
// beyond the readers' budget is refused.
PartReading<QString> docxDocumentText(QByteArrayView documentXml);
