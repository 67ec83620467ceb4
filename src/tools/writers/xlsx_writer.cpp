#include "tools/writers/xlsx_writer.h"

#include "tools/path_expansion.h"
#include "tools/writers/opc_parts.h"
#include "tools/writers/writer_input.h"
#include "tools/writers/writer_messages.h"
#include "tools/writers/xlsx_parts.h"
#include "tools/writers/zip_package.h"

namespace {

// The data argument as rows of texts; nothing unless it is an array of arrays of strings.
std::optional<QList<QStringList>> parseRows(const QString& dataJson) {
    const std::optional<QJsonArray> array = parseJsonArray(dataJson);
    if (!array) {
        return std::nullopt;
    }
    QList<QStringList> rows;
    rows.reserve(array->size());
    for (const QJsonValue& rowValue : *array) {
        if (!rowValue.isArray()) {
            return std::nullopt;
        }
        const QJsonArray cells = rowValue.toArray();
        QStringList row;
        row.reserve(cells.size());
        for (const QJsonValue& cell : cells) {
            if (!cell.isString()) {
                return std::nullopt;
            }
            row.append(cell.toString());
        }
        rows.append(row);
    }
    return rows;
}

QList<PackagePart> workbookPackage(const QList<QStringList>& rows) {
    return {
        {QStringLiteral("[Content_Types].xml"), XlsxParts::contentTypes().toUtf8()},
        {QStringLiteral("_rels/.rels"),
         OpcParts::packageRelationships(QStringLiteral("xl/workbook.xml")).toUtf8()},
        {QStringLiteral("xl/workbook.xml"), XlsxParts::workbook().toUtf8()},
        {QStringLiteral("xl/_rels/workbook.xml.rels"), XlsxParts::workbookRelationships().toUtf8()},
        {QStringLiteral("xl/styles.xml"), XlsxParts::styles().toUtf8()},
        {QStringLiteral("xl/worksheets/sheet1.xml"), XlsxParts::worksheet(rows).toUtf8()},
    };
}

} // namespace

ToolOutcome createXlsx(const QString& path, const QString& dataJson) {
    const QString tool = QStringLiteral("create_xlsx");
    const std::optional<QList<QStringList>> rows = parseRows(dataJson);
    if (auto refused =
            refusal(tool, rows, WriterMessages::invalidData(), WriterMessages::noData())) {
        return *refused;
    }
    if (const auto error = writeZipPackage(expandTilde(path), workbookPackage(*rows))) {
        return {tool, false, *error};
    }
    return {tool, true, WriterMessages::createdXlsx(rows->size(), path)};
}
