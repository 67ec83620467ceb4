#include "tools/files/file_tools.h"

#include "tools/not_available.h"

ToolOutcome readFile(const QString&) { return toolNotAvailable(QStringLiteral("read_file")); }
ToolOutcome writeFile(const QString&, const QString&) {
    return toolNotAvailable(QStringLiteral("write_file"));
}
ToolOutcome listDirectory(const QString&) { return toolNotAvailable(QStringLiteral("list_directory")); }
