#include "storage/durable_file.h"
#include "storage/platform_error.h"
#include "tools/files/file_tool_texts.h"
#include "tools/files/file_tools.h"
#include "tools/local_path.h"
#include "tools/path_expansion.h"
#include "tools/tool_texts.h"

#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {

ToolOutcome writeOutcome(bool success, const QString& output) {
    return {QStringLiteral("write_file"), success, output};
}

} // namespace

ToolOutcome writeFile(const QString& path, const QString& content) {
    const QString target = expandTilde(path);
    const std::optional<QByteArray> local = systemBytes(target);
    if (!local) {
        return writeOutcome(false, ToolTexts::error(platformErrorDescription(EINVAL)));
    }
    // A FIFO, a device or a folder is never replaced by a file: the rename would
    // succeed (even over /dev/null) and "Written" would be a lie about what the
    // user meant. A link is judged by what it points to.
    struct stat info {};
    if (::stat(local->constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return writeOutcome(false, ToolTexts::error(FileToolTexts::notARegularFileAt(path)));
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
