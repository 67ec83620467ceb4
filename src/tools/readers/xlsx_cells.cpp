#include "tools/readers/xlsx_cells.h"

#include "tools/readers/reader_texts.h"
#include "tools/readers/text_budget.h"

#include <algorithm>
#include <charconv>

namespace {

// Reads one si or is element from its start tag to its end tag: the text of
// the t elements inside, phonetic runs skipped. Fed the events in between.
class StringItem {
public:
    explicit StringItem(const OoxmlNamespace& spreadsheet) : m_spreadsheet(spreadsheet) {}

    // Starts an item; the caller has seen its start tag.
    void begin() {
        m_depth = 1;
        m_skipDepth = 0;
        m_inText = false;
    }
    bool reading() const { return m_depth > 0; }
    // True while the characters now coming belong to the item's text.
    bool collecting() const { return m_inText && m_skipDepth == 0; }

    void start(const XmlElement& element) {
        if (m_skipDepth > 0) {
            ++m_skipDepth;
        } else if (m_spreadsheet.contains(element, "rPh")) {
            m_skipDepth = 1;
        } else {
            ++m_depth;
            m_inText = m_spreadsheet.contains(element, "t");
        }
    }
    // True when this end tag closes the item.
    bool end() {
        if (m_skipDepth > 0) {
            --m_skipDepth;
            return false;
        }
        m_inText = false;
        return --m_depth == 0;
    }

private:
    const OoxmlNamespace& m_spreadsheet;
    int m_depth = 0;
    int m_skipDepth = 0;
    bool m_inText = false;
};

class SharedStringsReader final : public XmlPartHandler {
public:
    SharedStrings table;

    void startElement(const XmlElement& element) override {
        if (m_item.reading()) {
            m_item.start(element);
        } else if (m_spreadsheet.contains(element, "si")) {
            m_item.begin();
        }
    }
    void endElement(const XmlElement&) override {
        if (m_item.reading() && m_item.end()) {
            table.endEntry();
        }
    }
    void characters(std::string_view text) override {
        if (!m_item.reading() || !m_item.collecting()) {
            return;
        }
        table.appendText(text);
        if (table.textBytes() > readerTextBudget) {
            fail(ReaderTexts::spreadsheetTooLarge(readerTextBudgetMiB));
        }
    }

private:
    const OoxmlNamespace m_spreadsheet = OoxmlNamespace::spreadsheet();
    StringItem m_item{m_spreadsheet};
};

// An optional sign followed by decimal digits only, within the table.
bool sharedIndex(QByteArrayView value, qsizetype tableSize, qsizetype& index) {
    const QByteArrayView digits =
        value.startsWith('+') || value.startsWith('-') ? value.sliced(1) : value;
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    long long number = 0;
    // from_chars takes no plus sign; a minus sign never names an entry.
    const char* first = value.startsWith('+') ? digits.data() : value.data();
    const auto [end, error] = std::from_chars(first, value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || number < 0 ||
        number >= tableSize) {
        return false;
    }
    index = static_cast<qsizetype>(number);
    return true;
}

// Builds the tab-separated text straight from the events: a row's cells are
// written as they come and taken back if the row turns out to be discarded.
class SheetReader final : public XmlPartHandler {
public:
    explicit SheetReader(const SharedStrings& sharedStrings) : m_shared(sharedStrings) {}

    SheetText result;

    void startElement(const XmlElement& element) override {
        if (m_valueDepth > 0) {
            ++m_valueDepth;
            return;
        }
        if (m_item.reading()) {
            m_item.start(element);
            return;
        }
        if (!m_spreadsheet.contains(element.namespaceUri)) {
            return;
        }
        const std::string_view name = element.localName;
        if (name == "c") {
            m_isShared = element.attribute("t") == "s";
        } else if (name == "v") {
            beginCell();
            m_valueDepth = 1;
        } else if (name == "row") {
            // Cells met outside a row are dropped with the row that follows.
            result.text.truncate(m_rowStart);
            m_rowCells = 0;
        } else if (name == "is") {
            beginCell();
            m_item.begin();
        }
    }

    void endElement(const XmlElement& element) override {
        if (m_valueDepth > 0) {
            if (--m_valueDepth == 0) {
                resolveSharedValue();
                endCell();
            }
            return;
        }
        if (m_item.reading()) {
            if (m_item.end()) {
                endCell();
            }
            return;
        }
        if (m_rowCells > 0 && m_spreadsheet.contains(element, "row")) {
            ++result.rows;
            m_rowStart = result.text.size();
            m_rowCells = 0;
        }
    }

    void characters(std::string_view text) override {
        if (m_valueDepth > 0 || (m_item.reading() && m_item.collecting())) {
            result.text.append(text.data(), static_cast<qsizetype>(text.size()));
            checkBudget();
        }
    }

    // Cells after the last row end belong to no row.
    void finish() { result.text.truncate(m_rowStart); }

private:
    void beginCell() {
        if (m_rowCells > 0) {
            result.text.append('\t');
        } else if (result.rows > 0) {
            result.text.append('\n');
        }
        m_cellStart = result.text.size();
    }
    void endCell() { ++m_rowCells; }

    void resolveSharedValue() {
        if (!m_isShared) {
            return;
        }
        qsizetype index = 0;
        if (sharedIndex(QByteArrayView(result.text).sliced(m_cellStart), m_shared.size(), index)) {
            result.text.truncate(m_cellStart);
            result.text.append(m_shared.at(index));
            checkBudget();
        }
    }

    void checkBudget() {
        if (result.text.size() > readerTextBudget) {
            fail(ReaderTexts::spreadsheetTooLarge(readerTextBudgetMiB));
        }
    }

    const SharedStrings& m_shared;
    const OoxmlNamespace m_spreadsheet = OoxmlNamespace::spreadsheet();
    StringItem m_item{m_spreadsheet};
    bool m_isShared = false;
    int m_valueDepth = 0; // inside a v element: all its text, children's included
    qsizetype m_rowStart = 0;
    qsizetype m_cellStart = 0;
    int m_rowCells = 0;
};

} // namespace

QByteArrayView SharedStrings::at(qsizetype index) const {
    const qsizetype start = index == 0 ? 0 : m_ends[size_t(index - 1)];
    return QByteArrayView(m_text).sliced(start, m_ends[size_t(index)] - start);
}

PartReading<SharedStrings> parseSharedStrings(QByteArrayView sharedStringsXml) {
    SharedStringsReader reader;
    const QString error = parseXmlPart(sharedStringsXml, u"xl/sharedStrings.xml", reader);
    if (!error.isEmpty()) {
        return {{}, error};
    }
    return {std::move(reader.table), {}};
}

PartReading<SheetText> parseSheetRows(QByteArrayView sheetXml, const SharedStrings& sharedStrings) {
    SheetReader reader(sharedStrings);
    const QString error = parseXmlPart(sheetXml, u"xl/worksheets/sheet1.xml", reader);
    if (!error.isEmpty()) {
        return {{}, error};
    }
    reader.finish();
    return {std::move(reader.result), {}};
}
