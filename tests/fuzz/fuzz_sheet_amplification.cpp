// Sheets whose cells point at shared strings over and over: a small input may
// ask for gigabytes of text. Whatever the input, reading ends with the text or
// with the budget's refusal, and the text never passes the budget.
//
// Input: [entries-1] [repeat lo] [repeat hi] [cells per byte] then the bytes
// whose letters make the strings and whose values pick the cells' indices.

#include "tools/readers/reader_texts.h"
#include "tools/readers/text_budget.h"
#include "tools/readers/xlsx_cells.h"

#include <cstddef>
#include <cstdint>

namespace {

QByteArray sharedStringsPart(QByteArrayView seed, int entries, int repeat) {
    QByteArray xml = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    for (int entry = 0; entry < entries; ++entry) {
        QByteArray text;
        for (char byte : seed) {
            text.append(char('a' + (uint8_t(byte) + entry) % 26));
        }
        xml += "<si><r><t>" + text.repeated(repeat) + "</t></r><rPh><t>x</t></rPh></si>";
    }
    return xml + "</sst>";
}

QByteArray sheetPart(QByteArrayView picks, int cellsPerByte) {
    QByteArray xml = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                     "main\"><sheetData><row>";
    for (int round = 0; round < cellsPerByte; ++round) {
        for (char byte : picks) {
            const int pick = int(uint8_t(byte)) - 8; // some out of range, some negative
            if (pick % 17 == 0) {
                xml += "</row><row>";
            }
            xml += pick % 5 == 0 ? "<c t=\"inlineStr\"><is><t>inline</t></is></c>"
                                 : "<c t=\"s\"><v>" + QByteArray::number(pick) + "</v></c>";
        }
    }
    return xml + "</row></sheetData></worksheet>";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) {
        return 0;
    }
    const int entries = 1 + data[0] % 8;
    const int repeat = 1 + (data[1] | data[2] << 8); // strings up to 4 MB
    const int cellsPerByte = 1 + data[3] % 64;
    const QByteArrayView rest(data + 4, static_cast<qsizetype>(size - 4));
    const QByteArrayView seed = rest.first(std::min<qsizetype>(rest.size(), 64));

    const PartReading<SharedStrings> shared =
        parseSharedStrings(sharedStringsPart(seed, entries, repeat));
    if (!shared.ok()) {
        if (shared.error != ReaderTexts::spreadsheetTooLarge(readerTextBudgetMiB)) {
            __builtin_trap();
        }
        return 0;
    }
    const PartReading<SheetText> sheet =
        parseSheetRows(sheetPart(rest, cellsPerByte), shared.value);
    if (sheet.ok() ? sheet.value.text.size() > readerTextBudget
                   : sheet.error != ReaderTexts::spreadsheetTooLarge(readerTextBudgetMiB)) {
        __builtin_trap();
    }
    return 0;
}
