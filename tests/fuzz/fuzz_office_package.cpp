// DOCX and XLSX reading from the package bytes: the ZIP reader with its size
// limits, then the document, shared-string and sheet parts.

#include "tools/readers/docx_text.h"
#include "tools/readers/xlsx_cells.h"
#include "tools/readers/zip_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ZipReader package = ZipReader::openBytes(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const ZipMember document = package.read("word/document.xml");
    if (document.status == ZipMember::Status::Read) {
        (void)docxDocumentText(document.bytes);
    }
    SharedStrings shared;
    const ZipMember strings = package.read("xl/sharedStrings.xml");
    if (strings.status == ZipMember::Status::Read) {
        shared = std::move(parseSharedStrings(strings.bytes).value);
    }
    const ZipMember sheet = package.read("xl/worksheets/sheet1.xml");
    if (sheet.status == ZipMember::Status::Read) {
        (void)parseSheetRows(sheet.bytes, shared);
    }
    return 0;
}
