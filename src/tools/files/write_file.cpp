#include "storage/durable_file.h"
#include "storage/platform_error.h"
#include "tools/files/file_tool_texts.h"
#include "tools/files/file_tools.h"
#include "tools/files/local_path.h"
#include "tools/path_expansion.h"
#include "tools/tool_texts.h"

#include <QFileInfo>

#include <cerrno>

namespace {

ToolOutcome writeOutcome(bool success, const QString& output) {
    return {QStringLiteral("write_file"), success, output};
}

} // namespace

ToolOutcome writeFile(const QString& path, const QString& content) {
    const QString target = expandTilde(path);
    if (!systemBytes(target)) {
        return writeOutcome(false, ToolTexts::error(platformErrorDescription(EINVAL)));
    }
    const WriteResult folder = createDirectories(QFileInfo(target).absolutePath());
    if (!folder.ok()) {
        return writeOutcome(false, ToolTexts::error(folder.description()));
    }
    const QByteArray bytes = content.toUtf8();
    // On disk before "Written" is said; a full disk leaves the old file as it was.
    const WriteResult written = replaceFileDurably(target, bytes);
    if (!written.ok()) {
        return writeOutcome(false, ToolTexts::error(written.description()));
    }
    return writeOutcome(true, FileToolTexts::written(bytes.size(), path));
}
