#pragma once

#include <QString>

// Every text the file and shell tools hand to the model, in one place (those
// every tool shares are in tools/tool_texts.h).
namespace FileToolTexts {

inline QString permissionDenied(const QString& path) {
    return QStringLiteral("Permission denied: ") + path;
}

inline QString binaryFile() {
    return QStringLiteral("(binary file - cannot display)");
}
inline QString binaryFilePrefix() {
    return QStringLiteral("(binary file)");
}
inline QString decodedFrom(const QString& encoding) {
    return QStringLiteral("(decoded from ") + encoding + QStringLiteral(")\n");
}
inline QString fileTruncated(qint64 totalBytes) {
    return QStringLiteral("\n\n[... truncated, file is ") + QString::number(totalBytes) +
           QStringLiteral(" bytes total]");
}

inline QString written(qint64 bytes, const QString& path) {
    return QStringLiteral("Written ") + QString::number(bytes) + QStringLiteral(" bytes to ") +
           path;
}

inline QString notARegularFileAt(const QString& path) {
    return path + QStringLiteral(" is not a regular file");
}

inline QString emptyDirectory() {
    return QStringLiteral("(empty directory)");
}

inline QString emptyPattern() {
    return QStringLiteral("Pattern cannot be empty");
}
inline QString noMatches(const QString& pattern) {
    return QStringLiteral("No matches found for '") + pattern + QStringLiteral("'");
}
inline QString moreFiles(qsizetype count) {
    return QStringLiteral("\n... and ") + QString::number(count) + QStringLiteral(" more files");
}

inline QString emptyCommand() {
    return QStringLiteral("Command cannot be empty");
}
inline QString exitCode(int status) {
    return QStringLiteral("exit code: ") + QString::number(status) + QStringLiteral("\n");
}
inline QString stderrLabel() {
    return QStringLiteral("[stderr] ");
}
inline QString noOutput() {
    return QStringLiteral("(no output)");
}
inline QString outputTruncated() {
    return QStringLiteral("\n[... truncated]");
}
inline QString endedBackgroundProcesses(int count) {
    return QStringLiteral("(ended %1 background %2)")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("process") : QStringLiteral("processes"));
}
inline QString stoppedByTheUser() {
    return QStringLiteral("(stopped by the user)");
}

// The command sandbox. The panel shows the first two when the option cannot be on.
inline QString sandboxNotInstalled() {
    return QStringLiteral("bubblewrap is not installed (Debian package bubblewrap)");
}
inline QString sandboxCannotRun(const QString& reason) {
    return QStringLiteral("bubblewrap cannot run here: ") + reason;
}
inline QString sandboxRefusal(const QString& reason) {
    return QStringLiteral("The command was not run: commands are set to run in a sandbox, but ") +
           reason;
}
inline QString sandboxBlocked() {
    return QStringLiteral("\n\nThe sandbox may have stopped this: outside the home folder and "
                          "/tmp the file system is read-only, and the folders that hold keys, "
                          "tokens and browser profiles look empty (commands run in a sandbox: "
                          "SETTINGS)");
}

} // namespace FileToolTexts

// The limits the model's texts are cut to and the longest a command may run.
namespace FileToolLimits {

inline constexpr qsizetype textLimit = 100000;
inline constexpr int commandTimeoutSeconds = 30;

} // namespace FileToolLimits
