// The DOCX and XLSX part parsers on raw XML, without the ZIP around them.

#include "tools/readers/docx_text.h"
#include "tools/readers/xlsx_cells.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView xml(data, static_cast<qsizetype>(size));
    (void)docxDocumentText(xml);
    const PartReading<SharedStrings> shared = parseSharedStrings(xml);
    (void)parseSheetRows(xml, shared.value);
    return 0;
}
