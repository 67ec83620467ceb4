#include "tools/writers/xlsx_writer.h"

#include "tools/path_expansion.h"
#include "tools/writers/opc_parts.h"
#include "tools/writers/writer_input.h"
#include "tools/writers/writer_messages.h"
#include "tools/writers/xlsx_parts.h"
#include "tools/writers/zip_package.h"

namespace {

QList<PackagePart> workbookPackage(QByteArray worksheet) {
    return {
        {QStringLiteral("[Content_Types].xml"), XlsxParts::contentTypes().toUtf8()},
        {QStringLiteral("_rels/.rels"),
         OpcParts::packageRelationships(QStringLiteral("xl/workbook.xml")).toUtf8()},
        {QStringLiteral("xl/workbook.xml"), XlsxParts::workbook().toUtf8()},
        {QStringLiteral("xl/_rels/workbook.xml.rels"), XlsxParts::workbookRelationships().toUtf8()},
        {QStringLiteral("xl/styles.xml"), XlsxParts::styles().toUtf8()},
        {QStringLiteral("xl/worksheets/sheet1.xml"), std::move(worksheet)},
    };
}

} // namespace

ToolOutcome createXlsx(const QString& path, const QString& dataJson) {
    const QString tool = QStringLiteral("create_xlsx");
    const std::optional<QJsonArray> rows = parseJsonArray(dataJson);
    if (auto refused =
            refusal(tool, rows, WriterMessages::invalidData(), WriterMessages::noData())) {
        return *refused;
    }
    // Checked while the sheet is written: every row an array, every cell a string.
    std::optional<QByteArray> worksheet = XlsxParts::worksheet(*rows);
    if (!worksheet) {
        return {tool, false, WriterMessages::invalidData()};
    }
    if (const auto error =
            writeZipPackage(expandTilde(path), workbookPackage(std::move(*worksheet)))) {
        return {tool, false, *error};
    }
    return {tool, true, WriterMessages::createdXlsx(rows->size(), path)};
}
