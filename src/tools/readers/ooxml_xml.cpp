#include "tools/readers/ooxml_xml.h"

namespace {

// Sized at compile time: these are compared for every element of a sheet.
template <size_t N> constexpr QStringView sized(const char16_t (&text)[N]) {
    return QStringView(text, qsizetype(N - 1));
}

constexpr QStringView wordTransitional =
    sized(u"http://schemas.openxmlformats.org/wordprocessingml/2006/main");
constexpr QStringView wordStrict = sized(u"http://purl.oclc.org/ooxml/wordprocessingml/main");
constexpr QStringView sheetTransitional =
    sized(u"http://schemas.openxmlformats.org/spreadsheetml/2006/main");
constexpr QStringView sheetStrict = sized(u"http://purl.oclc.org/ooxml/spreadsheetml/main");

bool isOneOf(QStringView namespaceUri, QStringView transitional, QStringView strict) {
    return namespaceUri.isEmpty() || namespaceUri == transitional || namespaceUri == strict;
}

} // namespace

QString malformedPartDescription(QStringView part, const QXmlStreamReader& reader) {
    return QStringLiteral("%1 is not well-formed XML (%2, line %3, column %4)")
        .arg(part, reader.errorString())
        .arg(reader.lineNumber())
        .arg(reader.columnNumber());
}

bool isWordNamespace(QStringView namespaceUri) {
    return isOneOf(namespaceUri, wordTransitional, wordStrict);
}

bool isSpreadsheetNamespace(QStringView namespaceUri) {
    return isOneOf(namespaceUri, sheetTransitional, sheetStrict);
}

bool isWordElement(const QXmlStreamReader& reader, QStringView localName) {
    return reader.name() == localName && isWordNamespace(reader.namespaceUri());
}

bool isSpreadsheetElement(const QXmlStreamReader& reader, QStringView localName) {
    return reader.name() == localName && isSpreadsheetNamespace(reader.namespaceUri());
}
