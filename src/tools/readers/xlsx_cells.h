#pragma once

#include "tools/readers/ooxml_xml.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

using SheetRows = QList<QStringList>;

// xl/sharedStrings.xml: one entry per si element, the texts of its t
// elements concatenated (rich-text runs included, phonetic rPh runs left out).
PartReading<QStringList> parseSharedStrings(const QByteArray& sharedStringsXml);

// A worksheet part: per row, the texts of its cells in document order. A cell
// shows its v element (a shared-string index resolved when the cell says
// t="s" and the index is in range, the raw value otherwise) or its inline
// string; cells with neither take no place, and rows without cells are left out.
PartReading<SheetRows> parseSheetRows(const QByteArray& sheetXml, const QStringList& sharedStrings);
