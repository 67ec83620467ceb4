#include "tools/writers/pptx_writer.h"

#include "tools/not_available.h"

ToolOutcome createPptx(const QString&, const QString&) {
    return toolNotAvailable(QStringLiteral("create_pptx"));
}
