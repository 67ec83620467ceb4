#include "tools/writers/pdf_slides_writer.h"

#include "tools/not_available.h"

ToolOutcome createPdfSlides(const QString&, const QString&) {
    return toolNotAvailable(QStringLiteral("create_pdf_slides"));
}
