#pragma once

#include "tools/tool_types.h"

// create_pdf_slides: a 1024 x 768 pt slide deck drawn into a PDF file.
ToolOutcome createPdfSlides(const QString& path, const QString& slidesJson);
