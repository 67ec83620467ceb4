#include "tools/readers/office_package.h"

#include "tools/path_expansion.h"
#include "tools/readers/file_kind.h"
#include "tools/readers/reader_texts.h"

#include <cstring>

std::variant<ZipReader, ToolOutcome> openOfficePackage(const QString& path) {
    const QString expanded = expandTilde(path);
    switch (fileKind(expanded)) {
    case FileKind::missing:
        return ToolOutcome{{}, false, ReaderTexts::fileNotFound(path)};
    case FileKind::directory:
        return ToolOutcome{
            {}, false, ReaderTexts::error(QString::fromLocal8Bit(std::strerror(EISDIR)))};
    case FileKind::other:
        return ToolOutcome{{}, false, ReaderTexts::error(ReaderTexts::notARegularFile())};
    case FileKind::regular:
        break;
    }
    ZipReader package = ZipReader::openFile(expanded);
    if (!package.openError().isEmpty()) {
        return ToolOutcome{{}, false, ReaderTexts::error(package.openError())};
    }
    return package;
}
