#include "tools/readers/xlsx_reader.h"

#include "tools/not_available.h"

ToolOutcome readXlsx(const QString&) {
    return toolNotAvailable(QStringLiteral("read_xlsx"));
}
