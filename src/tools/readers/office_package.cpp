#include "tools/readers/office_package.h"

#include "tools/path_expansion.h"
#include "tools/readers/reader_texts.h"

#include <QFileInfo>

std::variant<ZipReader, ToolOutcome> openOfficePackage(const QString& path) {
    const QString expanded = expandTilde(path);
    if (!QFileInfo::exists(expanded)) {
        return ToolOutcome{{}, false, ReaderTexts::fileNotFound(path)};
    }
    ZipReader package = ZipReader::openFile(expanded);
    if (!package.openError().isEmpty()) {
        return ToolOutcome{{}, false, ReaderTexts::error(package.openError())};
    }
    return package;
}
