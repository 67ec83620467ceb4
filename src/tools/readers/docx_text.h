#pragma once

#include "tools/readers/ooxml_xml.h"

#include <QByteArray>

// The text of a word/document.xml part: the text of every w:t element in
// document order, runs joined as they are, one line break at each paragraph
// boundary, trimmed. References are decoded (R&amp;D reads as R&D).
PartReading<QString> docxDocumentText(const QByteArray& documentXml);
