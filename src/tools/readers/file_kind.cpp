#include "tools/readers/file_kind.h"

#include <QFile>

#include <sys/stat.h>

FileKind fileKind(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return FileKind::missing;
    }
    if (S_ISREG(info.st_mode)) {
        return FileKind::regular;
    }
    return S_ISDIR(info.st_mode) ? FileKind::directory : FileKind::other;
}
