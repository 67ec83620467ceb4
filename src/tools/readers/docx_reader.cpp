#include "tools/readers/docx_reader.h"

#include "tools/not_available.h"

ToolOutcome readDocx(const QString&) {
    return toolNotAvailable(QStringLiteral("read_docx"));
}
