// The spreadsheet writer's cell rules: column letters are a bijection, and the
// numeric-cell test only passes texts that C's strtod reads whole.

#include "tools/writers/spreadsheet_cells.h"

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

qsizetype columnFromLetters(const QString& letters) {
    qsizetype column = 0;
    for (QChar letter : letters) {
        column = column * 26 + (letter.unicode() - 'A' + 1);
    }
    return column - 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 3) {
        const qsizetype column =
            (qsizetype(data[0]) << 16 | qsizetype(data[1]) << 8 | data[2]) % 20000000;
        const QString letters = SpreadsheetCells::columnLetters(column);
        for (QChar letter : letters) {
            if (letter < QLatin1Char('A') || letter > QLatin1Char('Z')) {
                __builtin_trap();
            }
        }
        if (columnFromLetters(letters) != column) {
            __builtin_trap();
        }
    }
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (SpreadsheetCells::isNumericCell(text)) {
        // A numeric cell reads whole in the C locale, with nothing left over.
        const QByteArray bytes = text.toUtf8();
        if (bytes.contains('\0')) {
            __builtin_trap();
        }
        char* end = nullptr;
        std::strtod(bytes.constData(), &end);
        if (end != bytes.constData() + bytes.size() || bytes.isEmpty()) {
            __builtin_trap();
        }
    }
    return 0;
}
