#include "storage/write_litter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isRunning(const QString& pidText) {
    bool ok = false;
    const qlonglong pid = pidText.toLongLong(&ok);
    if (!ok || pid <= 0 || pid != qlonglong(pid_t(pid))) {
        return false;
    }
    // EPERM: it runs, as someone else.
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// The writer's pid in a scratch name, or an empty capture for the old names.
bool isDeadWritersScratch(const QRegularExpression& pattern, const QString& name) {
    const QRegularExpressionMatch match = pattern.match(name);
    return match.hasMatch() && (match.captured(1).isEmpty() || !isRunning(match.captured(1)));
}

bool hasType(const QString& path, mode_t type) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           (info.st_mode & S_IFMT) == type;
}

} // namespace

QByteArray scratchFileName(const QByteArray& target) {
    return target + ".~" + QByteArray::number(::getpid()) + '-' +
           QByteArray::number(QRandomGenerator::system()->generate(), 16);
}

QByteArray scratchFolderTemplate(const QString& folder, const QString& stem) {
    return QFile::encodeName(folder + QStringLiteral("/.") + stem) + '-' +
           QByteArray::number(::getpid()) + "-XXXXXX";
}

void removeWriteLitter(const QString& folder, const QString& scratchFolderStem) {
    static const QRegularExpression scratchFile(
        QStringLiteral("^.+\\.~(?:read-)?(?:([0-9]+)-)?[0-9a-f]{1,16}$"));
    const QRegularExpression scratchFolder(QStringLiteral("^\\.%1-(?:([0-9]+)-)?[A-Za-z0-9]{6}$")
                                               .arg(QRegularExpression::escape(scratchFolderStem)));
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                            QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (isDeadWritersScratch(scratchFile, name) && hasType(path, S_IFREG)) {
            QFile::remove(path);
        } else if (!scratchFolderStem.isEmpty() && isDeadWritersScratch(scratchFolder, name) &&
                   hasType(path, S_IFDIR)) {
            QDir(path).removeRecursively();
        }
    }
}
