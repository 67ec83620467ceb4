#pragma once

#include <QByteArray>
#include <QString>

// How one cell of a generated worksheet is named and written.
namespace SpreadsheetCells {

// Bijective base 26 from a 0-based column: 0 → A, 25 → Z, 26 → AA, 702 → AAA.
QString columnLetters(qsizetype column);

// True when the text does not begin with white space (or NUL) and the C-locale
// strtod consumes all of it: integers, decimals, exponents, hexadecimal floats,
// inf, infinity and nan in any letter case.
bool parsesAsNumber(const QString& text);

// A number cell holds its text in <v>, which must be an xsd:double: only the
// plain decimal forms qualify. Hexadecimal floats, inf and nan would make
// spreadsheet programs reject the file, so those stay text.
bool isNumericCell(const QString& text);

// The <c> element for a cell text, as UTF-8, named by its column letters and
// row number (B and 7 for B7).
void appendCell(QByteArray& xml, QByteArrayView column, QByteArrayView row, const QString& text);

} // namespace SpreadsheetCells
