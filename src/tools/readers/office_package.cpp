#include "tools/readers/office_package.h"

#include "tools/printed_name.h"
#include "tools/readers/file_kind.h"
#include "tools/tool_texts.h"

#include <cstring>

std::variant<ZipReader, ToolOutcome> openOfficePackage(const QString& path) {
    // Printed names (escaped bytes) open the file they name.
    const OpenableName name(path);
    const QString& expanded = name.path();
    switch (fileKind(expanded)) {
    case FileKind::missing:
        return ToolOutcome{{}, false, ToolTexts::fileNotFound(path)};
    case FileKind::directory:
        return ToolOutcome{
            {}, false, ToolTexts::error(QString::fromLocal8Bit(std::strerror(EISDIR)))};
    case FileKind::other:
        return ToolOutcome{{}, false, ToolTexts::error(ToolTexts::notARegularFile())};
    case FileKind::regular:
        break;
    }
    ZipReader package = ZipReader::openFile(expanded);
    if (!package.openError().isEmpty()) {
        return ToolOutcome{{}, false, ToolTexts::error(package.openError())};
    }
    return package;
}
