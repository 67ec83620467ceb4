#include "tools/readers/image_reader.h"

#include "tools/printed_name.h"
#include "tools/readers/file_kind.h"
#include "tools/readers/image_decoding.h"
#include "tools/readers/ocr_engine.h"
#include "tools/readers/reader_output.h"
#include "tools/readers/reader_texts.h"
#include "tools/tool_texts.h"

ToolOutcome readImage(const QString& path) {
    // Printed names (escaped bytes) open the file they name.
    const OpenableName name(path);
    const QString& expanded = name.path();
    switch (fileKind(expanded)) {
    case FileKind::missing:
        return {{}, false, ToolTexts::fileNotFound(path)};
    case FileKind::directory:
    case FileKind::other:
        return {{}, false, ReaderTexts::cannotReadImage(path)};
    case FileKind::regular:
        break;
    }
    const DecodedImage decoded = decodeFirstImage(expanded);
    if (decoded.tooLarge.isValid()) {
        return {
            {},
            false,
            ReaderTexts::imageTooLarge(path, decoded.tooLarge, ImageLimits::maxDecodedMegapixels)};
    }
    if (decoded.image.isNull()) {
        return {{}, false, ReaderTexts::cannotReadImage(path)};
    }
    const OcrResult result = recogniseText(decoded.image);
    switch (result.status) {
    case OcrResult::Status::Failed:
        return {{}, false, ReaderTexts::ocrFailed(result.description)};
    case OcrResult::Status::Error:
        return {{}, false, ReaderTexts::ocrError(result.description)};
    case OcrResult::Status::Recognised:
        break;
    }
    if (result.lines.isEmpty()) {
        return {{}, true, ReaderTexts::noTextInImage()};
    }
    return {{}, true, boundedReaderText(result.lines.join(QLatin1Char('\n')))};
}
