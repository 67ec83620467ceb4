#include "cli/modules/tool_module_entries.h"
#include "tools/writers/pdf_slides_writer.h"

#include <QGuiApplication>

void emberglassCreatePdfSlides(const QString& path, const QString& slides, ToolOutcome& outcome) {
    outcome = createPdfSlides(path, slides);
}

QCoreApplication* emberglassCreateGuiApplication(int& argc, char** argv) {
    return new QGuiApplication(argc, argv);
}
