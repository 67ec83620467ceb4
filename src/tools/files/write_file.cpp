#include "tools/files/file_tool_texts.h"
#include "tools/files/file_tools.h"
#include "tools/files/local_path.h"
#include "tools/files/platform_error.h"
#include "tools/path_expansion.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>

namespace {

ToolOutcome writeOutcome(bool success, const QString& output) {
    return {QStringLiteral("write_file"), success, output};
}

// Like mkdir -p, but with the system's reason when a level cannot be made.
QString makeDirectories(const QString& directory) {
    const QByteArray local = QFile::encodeName(directory);
    for (qsizetype end = 1; end <= local.size(); ++end) {
        if (end != local.size() && local[end] != '/') {
            continue;
        }
        const QByteArray level = local.first(end);
        if (::mkdir(level.constData(), 0777) == 0) {
            continue;
        }
        if (errno != EEXIST) {
            return platformErrorDescription(errno);
        }
        struct stat info {};
        if (::stat(level.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return platformErrorDescription(ENOTDIR);
        }
    }
    return {};
}

} // namespace

ToolOutcome writeFile(const QString& path, const QString& content) {
    const QString target = expandTilde(path);
    if (!systemBytes(target)) {
        return writeOutcome(false, FileToolTexts::error(platformErrorDescription(EINVAL)));
    }
    const QString problem = makeDirectories(QFileInfo(target).absolutePath());
    if (!problem.isEmpty()) {
        return writeOutcome(false, FileToolTexts::error(problem));
    }
    const QByteArray bytes = content.toUtf8();
    // QSaveFile writes beside the target and renames over it, keeping the old
    // file's permissions and writing through a symbolic link to its target.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return writeOutcome(false, FileToolTexts::error(file.errorString()));
    }
    return writeOutcome(true, FileToolTexts::written(bytes.size(), path));
}
