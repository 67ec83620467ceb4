#include "tools/writers/xlsx_writer.h"

#include "tools/not_available.h"

ToolOutcome createXlsx(const QString&, const QString&) {
    return toolNotAvailable(QStringLiteral("create_xlsx"));
}
