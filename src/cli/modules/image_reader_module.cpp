#include "cli/modules/tool_module_entries.h"
#include "tools/readers/image_reader.h"

void emberglassReadImage(const QString& path, ToolOutcome& outcome) {
    outcome = readImage(path);
}
