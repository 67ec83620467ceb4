// The spreadsheet writer's rule for a model's cell text: the numeric-cell test
// only passes texts that C's strtod reads whole. (Column letters are no outside
// input: their carries are rows of the writer suite.)

#include "tools/writers/spreadsheet_cells.h"

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
