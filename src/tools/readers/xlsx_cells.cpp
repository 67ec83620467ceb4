#include "tools/readers/xlsx_cells.h"

#include <algorithm>

namespace {

// Reads from the start of an si or is element to its end: the text of the t
// elements inside, phonetic runs skipped.
QString readStringItem(QXmlStreamReader& reader) {
    QString text;
    int depth = 1;
    bool inText = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (isSpreadsheetElement(reader, u"rPh")) {
                reader.skipCurrentElement();
                break;
            }
            ++depth;
            inText = isSpreadsheetElement(reader, u"t");
            break;
        case QXmlStreamReader::EndElement:
            if (--depth == 0) {
                return text;
            }
            inText = false;
            break;
        case QXmlStreamReader::Characters:
            if (inText) {
                text += reader.text();
            }
            break;
        default:
            break;
        }
    }
    return text;
}

// An optional sign followed by decimal digits only, within the table.
bool sharedIndex(QStringView value, qsizetype tableSize, qsizetype& index) {
    const QStringView digits =
        value.startsWith(u'+') || value.startsWith(u'-') ? value.mid(1) : value;
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(),
                                         [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        return false;
    }
    bool parsed = false;
    const qlonglong number = value.toLongLong(&parsed);
    if (!parsed || number < 0 || number >= tableSize) {
        return false;
    }
    index = static_cast<qsizetype>(number);
    return true;
}

} // namespace

PartReading<QStringList> parseSharedStrings(const QByteArray& sharedStringsXml) {
    QXmlStreamReader reader(sharedStringsXml);
    QStringList entries;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            isSpreadsheetElement(reader, u"si")) {
            entries.append(readStringItem(reader));
        }
    }
    if (reader.hasError()) {
        return {{}, malformedPartDescription(u"xl/sharedStrings.xml", reader)};
    }
    return {entries, {}};
}

PartReading<SheetRows> parseSheetRows(const QByteArray& sheetXml,
                                      const QStringList& sharedStrings) {
    QXmlStreamReader reader(sheetXml);
    SheetRows rows;
    QStringList row;
    bool isShared = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if ((token != QXmlStreamReader::StartElement && token != QXmlStreamReader::EndElement) ||
            !isSpreadsheetNamespace(reader.namespaceUri())) {
            continue;
        }
        const QStringView name = reader.name();
        if (token == QXmlStreamReader::EndElement) {
            if (name == u"row" && !row.isEmpty()) {
                rows.append(std::move(row));
                row = {};
            }
        } else if (name == u"c") {
            isShared = reader.attributes().value(QLatin1String("t")) == u"s";
        } else if (name == u"v") {
            const QString value = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            qsizetype index = 0;
            row.append(isShared && sharedIndex(value, sharedStrings.size(), index)
                           ? sharedStrings.at(index)
                           : value);
        } else if (name == u"row") {
            row.clear();
        } else if (name == u"is") {
            row.append(readStringItem(reader));
        }
    }
    if (reader.hasError()) {
        return {{}, malformedPartDescription(u"xl/worksheets/sheet1.xml", reader)};
    }
    return {rows, {}};
}
