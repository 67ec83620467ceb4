#pragma once

#include "tools/readers/ooxml_xml.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// The shared-string table: entry i is the text of the i-th si element.
class SharedStrings {
public:
    qsizetype size() const { return qsizetype(m_ends.size()); }
    QByteArrayView at(qsizetype index) const;
    qsizetype textBytes() const { return m_text.size(); }

    // Building: text goes to the entry being read; endEntry() closes it.
    void appendText(std::string_view text) {
        m_text.append(text.data(), static_cast<qsizetype>(text.size()));
    }
    void endEntry() { m_ends.push_back(m_text.size()); }

private:
    QByteArray m_text; // every entry's UTF-8 text, back to back
    std::vector<qsizetype> m_ends;
};

// The cells of a worksheet, tab-separated, one line per row (UTF-8).
struct SheetText {
    qsizetype rows = 0;
    QByteArray text;
};

// xl/sharedStrings.xml: one entry per si element, the texts of its t
// elements concatenated (rich-text runs included, phonetic rPh runs left out).
PartReading<SharedStrings> parseSharedStrings(QByteArrayView sharedStringsXml);

// A worksheet part: per row, the texts of its cells in document order. A cell
// shows its v element (a shared-string index resolved when the cell says
// t="s" and the index is in range, the raw value otherwise) or its inline
// string; cells with neither take no place, and rows without cells are left
// out. A sheet whose text would pass the readers' budget is refused.
PartReading<SheetText> parseSheetRows(QByteArrayView sheetXml, const SharedStrings& sharedStrings);
