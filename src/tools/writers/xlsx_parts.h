#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The XML of each part of a generated one-sheet workbook.
namespace XlsxParts {

QString contentTypes();
QString workbook();
QString workbookRelationships();
QString styles();
QString worksheet(const QList<QStringList>& rows);

} // namespace XlsxParts
