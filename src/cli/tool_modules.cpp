#include "cli/tool_modules.h"

#include <QDir>
#include <QFile>
#include <QLibrary>

namespace {

// From /proc rather than QCoreApplication: the drawing module must be found
// before the application object exists, since it creates that object.
QStringList moduleDirectories() {
    const QString programDirectory =
        QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    return {programDirectory,
            QDir::cleanPath(programDirectory + QStringLiteral("/../lib/emberglass"))};
}

} // namespace

QFunctionPointer toolModuleFunction(const char* module, const char* symbol, QString* error) {
    const QStringList directories = moduleDirectories();
    QString reason;
    for (const QString& directory : directories) {
        const QString path =
            directory + QLatin1Char('/') + QLatin1String(module) + QStringLiteral(".so");
        if (!QFile::exists(path)) {
            continue;
        }
        // Never unloaded: the tools' results may refer to the module's code.
        QLibrary library(path);
        if (const QFunctionPointer function = library.resolve(symbol)) {
            return function;
        }
        reason = library.errorString();
        break;
    }
    if (error != nullptr) {
        *error = reason.isEmpty()
                     ? QStringLiteral("%1.so is missing (looked in %2)")
                           .arg(QLatin1String(module), directories.join(QStringLiteral(" and ")))
                     : reason;
    }
    return nullptr;
}
