// DOCX and XLSX reading from the package bytes: the ZIP reader with its size
// limits, then the document, shared-string and sheet parts. The bytes are a
// file in memory, opened by its path as the readers open documents.

#include "tools/readers/docx_text.h"
#include "tools/readers/xlsx_cells.h"
#include "tools/readers/zip_reader.h"

#include <QString>

#include <cstddef>
#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int file = memfd_create("package", MFD_CLOEXEC);
    if (file < 0 || write(file, data, size) != static_cast<ssize_t>(size)) {
        __builtin_trap(); // the harness itself failed, not the reader
    }
    const ZipReader package = ZipReader::openFile(QStringLiteral("/proc/self/fd/%1").arg(file));
    close(file);
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
