#include "tools/readers/image_reader.h"

#include "tools/path_expansion.h"
#include "tools/readers/image_decoding.h"
#include "tools/readers/ocr_engine.h"
#include "tools/readers/reader_texts.h"

#include <QFileInfo>

ToolOutcome readImage(const QString& path) {
    const QString expanded = expandTilde(path);
    if (!QFileInfo::exists(expanded)) {
        return {{}, false, ReaderTexts::fileNotFound(path)};
    }
    const QImage image = decodeFirstImage(expanded);
    if (image.isNull()) {
        return {{}, false, ReaderTexts::cannotReadImage(path)};
    }
    const OcrResult result = recogniseText(image);
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
    return {{}, true, result.lines.join(QLatin1Char('\n'))};
}
