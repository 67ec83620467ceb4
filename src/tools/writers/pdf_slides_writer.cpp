#include "tools/writers/pdf_slides_writer.h"

#include "storage/durable_file.h"
#include "tools/path_expansion.h"
#include "tools/tool_texts.h"
#include "tools/writers/output_folder.h"
#include "tools/writers/pdf_slide_painter.h"
#include "tools/writers/writer_input.h"
#include "tools/writers/writer_messages.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cerrno>

namespace {

// The output could be created but the document's bytes could not be written;
// any other failure means there is no place to create it.
bool failedWhileWriting(const WriteResult& result) {
    const int error = result.errorNumber();
    return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EIO;
}

void setUpSlidePages(QPdfWriter& writer) {
    // One device unit per point, so the painter works in page coordinates.
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(slidePageWidth, slidePageHeight), QPageSize::Point,
                                 QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

// Draws every slide; false when the painter cannot start on the writer.
bool paintDeck(QPdfWriter& writer, const QList<SlideContent>& slides) {
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    for (qsizetype i = 0; i < slides.size(); ++i) {
        if (i > 0) {
            writer.newPage();
        }
        paintSlide(painter, slides[i], i + 1, slides.size());
    }
    return painter.end();
}

} // namespace

ToolOutcome createPdfSlides(const QString& path, const QString& slidesJson) {
    const QString tool = QStringLiteral("create_pdf_slides");
    const std::optional<QList<SlideContent>> slides = parseSlides(slidesJson);
    if (auto refused =
            refusal(tool, slides, WriterMessages::invalidPdfSlides(), WriterMessages::noSlides())) {
        return *refused;
    }

    const QString outputPath = expandTilde(path);
    if (outputTargetProblem(outputPath)) {
        return {tool, false, WriterMessages::cannotCreatePdf()};
    }
    createParentFolders(outputPath);
    // The deck is drawn in memory and written out whole, on disk before success
    // is reported; a full disk leaves any old file as it was.
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter writer(&document);
        setUpSlidePages(writer);
        painted = paintDeck(writer, *slides);
    }
    if (!painted) {
        return {tool, false, WriterMessages::cannotCreatePdf()};
    }
    const WriteResult written = replaceFileDurably(outputPath, document.data());
    if (!written.ok()) {
        return {tool, false,
                failedWhileWriting(written) ? ToolTexts::error(written.description())
                                            : WriterMessages::cannotCreatePdf()};
    }
    return {tool, true, WriterMessages::createdPdf(slides->size(), path)};
}
