#include "tools/writers/pdf_slides_writer.h"

#include "tools/path_expansion.h"
#include "tools/writers/output_folder.h"
#include "tools/writers/pdf_slide_painter.h"
#include "tools/writers/writer_input.h"
#include "tools/writers/writer_messages.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

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
    createParentFolders(outputPath);
    // The PDF writer does not report a file it cannot open, so the file is
    // opened here; drawing goes to a temporary file that replaces the output
    // only once the document is complete.
    QSaveFile file(outputPath);
    // QSaveFile accepts an empty name and only fails when committing.
    if (outputPath.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        return {tool, false, WriterMessages::cannotCreatePdf()};
    }
    bool painted = false;
    {
        QPdfWriter writer(&file);
        setUpSlidePages(writer);
        painted = paintDeck(writer, *slides);
    }
    if (!painted) {
        file.cancelWriting();
        return {tool, false, WriterMessages::cannotCreatePdf()};
    }
    if (!file.commit()) {
        return {tool, false, WriterMessages::fileError(file.errorString())};
    }
    return {tool, true, WriterMessages::createdPdf(slides->size(), path)};
}
