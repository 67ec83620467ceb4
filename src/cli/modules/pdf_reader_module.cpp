#include "cli/modules/tool_module_entries.h"
#include "tools/readers/pdf_reader.h"

void emberglassReadPdf(const QString& path, ToolOutcome& outcome) {
    outcome = readPdf(path);
}
