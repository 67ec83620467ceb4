#include "tools/readers/pdf_reader.h"

#include "tools/not_available.h"

ToolOutcome readPdf(const QString&) {
    return toolNotAvailable(QStringLiteral("read_pdf"));
}
