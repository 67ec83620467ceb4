#include "tools/writers/spreadsheet_cells.h"

#include "tools/writers/xml_text.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstdlib>
#include <locale.h>

namespace SpreadsheetCells {

namespace {

// Made once; strtod_l with it ignores whatever locale the application runs in.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

bool isLeadingSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r' ||
           c == u'\0';
}

bool isDecimalCharacter(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' ||
           c == u'E';
}

} // namespace

QString columnLetters(qsizetype column) {
    QString letters;
    qsizetype n = column;
    while (true) {
        letters.prepend(QChar(u'A' + static_cast<char16_t>(n % 26)));
        if (n <= 25) {
            return letters;
        }
        n = n / 26 - 1;
    }
}

bool parsesAsNumber(const QString& text) {
    if (text.isEmpty() || isLeadingSpace(text.front())) {
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    char* end = nullptr;
    strtod_l(bytes.constData(), &end, cLocale());
    // An embedded NUL stops strtod early, which the length comparison catches.
    return end == bytes.constData() + bytes.size();
}

bool isNumericCell(const QString& text) {
    // The character check first: it turns most texts away without converting them.
    return std::all_of(text.cbegin(), text.cend(), isDecimalCharacter) && parsesAsNumber(text);
}

void appendCell(QByteArray& xml, QByteArrayView column, QByteArrayView row, const QString& text) {
    xml += "<c r=\"";
    xml += column;
    xml += row;
    const bool numeric = isNumericCell(text);
    xml += numeric ? "\"><v>" : "\" t=\"inlineStr\"><is><t>";
    // Encoded straight into the part: a sheet of 100,000 cells would
    // otherwise make as many temporary copies.
    const QString escaped = numeric ? text : escapeXmlText(text);
    QStringEncoder utf8(QStringEncoder::Utf8);
    const qsizetype start = xml.size();
    xml.resize(start + utf8.requiredSpace(escaped.size()));
    char* end = utf8.appendToBuffer(xml.data() + start, escaped);
    xml.truncate(end - xml.constData());
    xml += numeric ? "</v></c>" : "</t></is></c>";
}

} // namespace SpreadsheetCells
