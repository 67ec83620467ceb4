#include "tools/readers/ooxml_xml.h"

namespace {

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
    return isOneOf(namespaceUri, u"http://schemas.openxmlformats.org/wordprocessingml/2006/main",
                   u"http://purl.oclc.org/ooxml/wordprocessingml/main");
}

bool isSpreadsheetNamespace(QStringView namespaceUri) {
    return isOneOf(namespaceUri, u"http://schemas.openxmlformats.org/spreadsheetml/2006/main",
                   u"http://purl.oclc.org/ooxml/spreadsheetml/main");
}

bool isWordElement(const QXmlStreamReader& reader, QStringView localName) {
    return reader.name() == localName && isWordNamespace(reader.namespaceUri());
}

bool isSpreadsheetElement(const QXmlStreamReader& reader, QStringView localName) {
    return reader.name() == localName && isSpreadsheetNamespace(reader.namespaceUri());
}
