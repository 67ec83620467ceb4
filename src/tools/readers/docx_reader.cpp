#include "tools/readers/docx_reader.h"

#include "tools/readers/docx_text.h"
#include "tools/readers/office_package.h"
#include "tools/readers/reader_output.h"
#include "tools/readers/reader_texts.h"
#include "tools/tool_texts.h"

ToolOutcome readDocx(const QString& path) {
    auto opened = openOfficePackage(path);
    if (auto* outcome = std::get_if<ToolOutcome>(&opened)) {
        return *outcome;
    }
    const ZipMember document = std::get<ZipReader>(opened).read("word/document.xml");
    if (document.status == ZipMember::Status::Missing) {
        return {{}, false, ReaderTexts::notADocx()};
    }
    if (document.status == ZipMember::Status::Failed) {
        return {{}, false, ToolTexts::error(document.error)};
    }
    const PartReading<QString> text = docxDocumentText(document.bytes);
    if (!text.ok()) {
        return {{}, false, ToolTexts::error(text.error)};
    }
    if (text.value.isEmpty()) {
        return {{}, true, ReaderTexts::docxWithoutText()};
    }
    return {{}, true, boundedReaderText(text.value)};
}
