#include "tools/files/search_files.h"

#include "tools/not_available.h"

ToolOutcome searchFiles(const QString&, const QString&) {
    return toolNotAvailable(QStringLiteral("search_files"));
}
