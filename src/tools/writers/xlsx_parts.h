#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QString>

#include <optional>

// The XML of each part of a generated one-sheet workbook.
namespace XlsxParts {

QString contentTypes();
QString workbook();
QString workbookRelationships();
QString styles();
// The worksheet of the rows (a JSON array of arrays of strings), as UTF-8;
// nothing when a row is not an array or a cell not a string.
std::optional<QByteArray> worksheet(const QJsonArray& rows);

} // namespace XlsxParts
