#include "tools/writers/output_folder.h"

#include "storage/platform_error.h"
#include "tools/tool_texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

void createParentFolders(const QString& outputPath) {
    if (!outputPath.isEmpty()) {
        QDir().mkpath(QFileInfo(outputPath).absolutePath());
    }
}

std::optional<QString> outputTargetProblem(const QString& outputPath) {
    if (outputPath.contains(QChar(0))) {
        return platformErrorDescription(EINVAL);
    }
    // A folder is left to the write, which names the reason itself.
    struct stat info {};
    if (::stat(QFile::encodeName(outputPath).constData(), &info) == 0 && !S_ISREG(info.st_mode) &&
        !S_ISDIR(info.st_mode)) {
        return ToolTexts::notARegularFile();
    }
    return std::nullopt;
}
