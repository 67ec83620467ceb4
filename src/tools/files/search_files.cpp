#include "tools/files/search_files.h"

#include "storage/platform_error.h"
#include "tools/files/child_process.h"
#include "tools/files/file_tool_texts.h"
#include "tools/local_path.h"
#include "tools/path_expansion.h"
#include "tools/printed_name.h"
#include "tools/tool_texts.h"

#include <QDir>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype shownFiles = 50;

ToolOutcome searchOutcome(bool success, const QString& output) {
    return {QStringLiteral("search_files"), success, output};
}

QStringList grepArguments(const QString& pattern, const QString& directory) {
    // -Z ends each name with a NUL instead of a line break, which a name may hold.
    QStringList arguments{QStringLiteral("-r"), QStringLiteral("-n"),
                          QStringLiteral("-I"), QStringLiteral("--include=*"),
                          QStringLiteral("-l"), QStringLiteral("-Z")};
    // Without the separator grep would take a pattern such as "->" or "-v" (or a
    // directory named so) for options of its own.
    if (pattern.startsWith(QLatin1Char('-')) || directory.startsWith(QLatin1Char('-'))) {
        arguments.append(QStringLiteral("--"));
    }
    arguments << pattern << directory;
    return arguments;
}

// Why chdir into directory would fail, or nothing when it would succeed.
QString reasonNotEnterable(const QString& directory) {
    const std::optional<QByteArray> local = systemBytes(directory);
    struct stat info {};
    if (!local) {
        return platformErrorDescription(ENOENT);
    }
    if (::stat(local->constData(), &info) != 0) {
        return platformErrorDescription(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return platformErrorDescription(ENOTDIR);
    }
    return ::access(local->constData(), X_OK) == 0 ? QString() : platformErrorDescription(errno);
}

// Names as list_directory prints them, so that each opens its file again.
QString listedFiles(const QByteArray& found) {
    QStringList lines;
    for (const QByteArray& name : found.split('\0')) {
        if (!name.isEmpty()) {
            lines.append(printableName(name));
        }
    }
    QString shown = lines.first(std::min(shownFiles, lines.size())).join(QLatin1Char('\n'));
    if (lines.size() > shownFiles) {
        shown += FileToolTexts::moreFiles(lines.size() - shownFiles);
    }
    return shown;
}

} // namespace

ToolOutcome searchFiles(const QString& directory, const QString& pattern) {
    if (pattern.isEmpty()) {
        return searchOutcome(false, FileToolTexts::emptyPattern());
    }
    const QString expanded = expandTilde(directory);
    ChildProcessRequest request;
    request.program = QStringLiteral("/usr/bin/grep");
    request.arguments = grepArguments(pattern, expanded);
    // grep prints paths that begin with the directory as given. A relative one is
    // resolved against grep's working directory, so grep then runs in ours, after
    // the same check that entering the directory would make.
    if (QDir::isRelativePath(expanded)) {
        const QString reason = reasonNotEnterable(expanded);
        if (!reason.isEmpty()) {
            return searchOutcome(false, ToolTexts::error(reason));
        }
    } else {
        request.workingDirectory = expanded;
    }
    QByteArray output;
    const ChildProcessResult result = runChildProcess(
        request, [&output](QByteArrayView chunk) { output.append(chunk); },
        [](QByteArrayView) { /* drained so that grep never blocks on it, then dropped */ });
    if (!result.startError.isEmpty()) {
        return searchOutcome(false, ToolTexts::error(result.startError));
    }
    if (output.isEmpty()) {
        return searchOutcome(true, FileToolTexts::noMatches(pattern));
    }
    return searchOutcome(true, listedFiles(output));
}
