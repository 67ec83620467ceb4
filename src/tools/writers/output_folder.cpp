#include "tools/writers/output_folder.h"

#include "storage/platform_error.h"
#include "tools/local_path.h"
#include "tools/tool_texts.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

void createParentFolders(const QString& outputPath) {
    if (!outputPath.isEmpty()) {
        QDir().mkpath(QFileInfo(outputPath).absolutePath());
    }
}

std::optional<QString> outputTargetProblem(const QString& outputPath) {
    const std::optional<QByteArray> local = systemBytes(outputPath);
    if (!local) {
        return platformErrorDescription(EINVAL);
    }
    // A folder is left to the write, which names the reason itself.
    struct stat info {};
    if (::stat(local->constData(), &info) == 0 && !S_ISREG(info.st_mode) &&
        !S_ISDIR(info.st_mode)) {
        return ToolTexts::notARegularFile();
    }
    return std::nullopt;
}
