#include "tools/writers/xlsx_parts.h"

#include "tools/writers/ooxml_names.h"
#include "tools/writers/opc_parts.h"
#include "tools/writers/spreadsheet_cells.h"

namespace XlsxParts {

namespace {

// Declaration and a root opening tag with SpreadsheetML as the default namespace.
QString spreadsheetRoot(const char* element, const QString& moreAttributes = {}) {
    return QLatin1String(Ooxml::xmlDeclaration) + QLatin1Char('<') + QLatin1String(element) +
           QStringLiteral(" xmlns=\"") + QLatin1String(Ooxml::spreadsheetMainNamespace) +
           QLatin1Char('"') + moreAttributes + QStringLiteral(">\n");
}

} // namespace

QString contentTypes() {
    const auto override = [](const char* part, const char* kind) {
        return OpcParts::contentTypeOverride(
                   QLatin1String(part),
                   QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.") +
                       QLatin1String(kind) + QStringLiteral("+xml")) +
               QLatin1Char('\n');
    };
    return OpcParts::contentTypesOpening() + override("/xl/workbook.xml", "sheet.main") +
           override("/xl/worksheets/sheet1.xml", "worksheet") +
           override("/xl/styles.xml", "styles") + OpcParts::contentTypesClosing();
}

QString workbook() {
    const QString relationshipsPrefix = QStringLiteral(" xmlns:r=\"") +
                                        QLatin1String(Ooxml::relationshipsNamespace) +
                                        QLatin1Char('"');
    return spreadsheetRoot("workbook", relationshipsPrefix) +
           QStringLiteral("<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets>\n"
                          "</workbook>");
}

QString workbookRelationships() {
    return OpcParts::relationshipsPart(
        {{QStringLiteral("rId1"), Ooxml::worksheetType, QStringLiteral("worksheets/sheet1.xml")},
         {QStringLiteral("rId2"), Ooxml::stylesType, QStringLiteral("styles.xml")}});
}

QString styles() {
    return spreadsheetRoot("styleSheet") +
           QStringLiteral(
               "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>\n"
               "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
               "<fill><patternFill patternType=\"gray125\"/></fill></fills>\n"
               "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border>"
               "</borders>\n"
               "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
               "borderId=\"0\"/></cellStyleXfs>\n"
               "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
               "xfId=\"0\"/></cellXfs>\n"
               "</styleSheet>");
}

std::optional<QByteArray> worksheet(const QJsonArray& rows) {
    QByteArray xml = spreadsheetRoot("worksheet").toUtf8() + "<sheetData>";
    // About 40 bytes a cell; growing a multi-megabyte part step by step would copy it often.
    xml.reserve(xml.size() + rows.size() * 400);
    QList<QByteArray> columns; // letters of each column index met so far
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QJsonValue row = rows[r];
        if (!row.isArray()) {
            return std::nullopt;
        }
        const QByteArray rowNumber = QByteArray::number(r + 1);
        xml += "<row r=\"" + rowNumber + "\">";
        const QJsonArray cells = row.toArray();
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QJsonValue cell = cells[c];
            if (!cell.isString()) {
                return std::nullopt;
            }
            while (columns.size() <= c) {
                columns.append(SpreadsheetCells::columnLetters(columns.size()).toLatin1());
            }
            SpreadsheetCells::appendCell(xml, columns[c], rowNumber, cell.toString());
        }
        xml += "</row>\n";
    }
    return xml + "</sheetData></worksheet>";
}

} // namespace XlsxParts
