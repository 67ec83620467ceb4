#include "tools/writers/output_folder.h"

#include <QDir>
#include <QFileInfo>

void createParentFolders(const QString& outputPath) {
    if (!outputPath.isEmpty()) {
        QDir().mkpath(QFileInfo(outputPath).absolutePath());
    }
}
