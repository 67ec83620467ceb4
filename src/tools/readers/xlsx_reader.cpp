#include "tools/readers/xlsx_reader.h"

#include "tools/readers/office_package.h"
#include "tools/readers/reader_output.h"
#include "tools/readers/reader_texts.h"
#include "tools/readers/xlsx_cells.h"
#include "tools/tool_texts.h"

ToolOutcome readXlsx(const QString& path) {
    auto opened = openOfficePackage(path);
    if (auto* outcome = std::get_if<ToolOutcome>(&opened)) {
        return *outcome;
    }
    const ZipReader& package = std::get<ZipReader>(opened);

    // A workbook without shared strings is fine (numbers only, inline strings).
    SharedStrings sharedStrings;
    {
        const ZipMember stringsPart = package.read("xl/sharedStrings.xml");
        if (stringsPart.status == ZipMember::Status::Failed) {
            return {{}, false, ToolTexts::error(stringsPart.error)};
        }
        if (stringsPart.status == ZipMember::Status::Read) {
            PartReading<SharedStrings> parsed = parseSharedStrings(stringsPart.bytes);
            if (!parsed.ok()) {
                return {{}, false, ToolTexts::error(parsed.error)};
            }
            sharedStrings = std::move(parsed.value);
        }
    }

    const ZipMember sheetPart = package.read("xl/worksheets/sheet1.xml");
    if (sheetPart.status == ZipMember::Status::Missing) {
        return {{}, false, ReaderTexts::notAnXlsx()};
    }
    if (sheetPart.status == ZipMember::Status::Failed) {
        return {{}, false, ToolTexts::error(sheetPart.error)};
    }
    const PartReading<SheetText> sheet = parseSheetRows(sheetPart.bytes, sharedStrings);
    if (!sheet.ok()) {
        return {{}, false, ToolTexts::error(sheet.error)};
    }
    if (sheet.value.rows == 0) {
        return {{}, true, ReaderTexts::spreadsheetEmpty()};
    }
    return {{},
            true,
            boundedReaderText(ReaderTexts::xlsxHeader(sheet.value.rows) +
                              QString::fromUtf8(sheet.value.text))};
}
