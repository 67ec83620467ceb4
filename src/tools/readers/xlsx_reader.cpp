#include "tools/readers/xlsx_reader.h"

#include "tools/readers/office_package.h"
#include "tools/readers/reader_texts.h"
#include "tools/readers/xlsx_cells.h"

namespace {

QString tabulated(const SheetRows& rows) {
    QStringList lines;
    lines.reserve(rows.size());
    for (const QStringList& row : rows) {
        lines.append(row.join(QLatin1Char('\t')));
    }
    return ReaderTexts::xlsxHeader(rows.size()) + lines.join(QLatin1Char('\n'));
}

} // namespace

ToolOutcome readXlsx(const QString& path) {
    auto opened = openOfficePackage(path);
    if (auto* outcome = std::get_if<ToolOutcome>(&opened)) {
        return *outcome;
    }
    const ZipReader& package = std::get<ZipReader>(opened);

    // A workbook without shared strings is fine (numbers only, inline strings).
    QStringList sharedStrings;
    const ZipMember stringsPart = package.read("xl/sharedStrings.xml");
    if (stringsPart.status == ZipMember::Status::Failed) {
        return {{}, false, ReaderTexts::error(stringsPart.error)};
    }
    if (stringsPart.status == ZipMember::Status::Read) {
        const PartReading<QStringList> parsed = parseSharedStrings(stringsPart.bytes);
        if (!parsed.ok()) {
            return {{}, false, ReaderTexts::error(parsed.error)};
        }
        sharedStrings = parsed.value;
    }

    const ZipMember sheetPart = package.read("xl/worksheets/sheet1.xml");
    if (sheetPart.status == ZipMember::Status::Missing) {
        return {{}, false, ReaderTexts::notAnXlsx()};
    }
    if (sheetPart.status == ZipMember::Status::Failed) {
        return {{}, false, ReaderTexts::error(sheetPart.error)};
    }
    const PartReading<SheetRows> rows = parseSheetRows(sheetPart.bytes, sharedStrings);
    if (!rows.ok()) {
        return {{}, false, ReaderTexts::error(rows.error)};
    }
    if (rows.value.isEmpty()) {
        return {{}, true, ReaderTexts::spreadsheetEmpty()};
    }
    return {{}, true, tabulated(rows.value)};
}
