#pragma once

// What the tool modules export, under C names so that the loader finds them.
// Each module holds the tools that need one heavy library (Poppler; Tesseract
// and the image decoders; Qt's painting), and emberglass-tool loads it only
// when one of those tools runs.

#include "tools/tool_types.h"

#include <QCoreApplication>

extern "C" {
// emberglass-pdf-reader
Q_DECL_EXPORT void emberglassReadPdf(const QString& path, ToolOutcome& outcome);
// emberglass-image-reader
Q_DECL_EXPORT void emberglassReadImage(const QString& path, ToolOutcome& outcome);
// emberglass-pdf-slides; drawing needs the GUI application it creates.
Q_DECL_EXPORT void emberglassCreatePdfSlides(const QString& path, const QString& slides,
                                             ToolOutcome& outcome);
Q_DECL_EXPORT QCoreApplication* emberglassCreateGuiApplication(int& argc, char** argv);
}
