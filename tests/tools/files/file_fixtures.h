#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTest>

#include "tools/tool_types.h"

#include <cstring>

// Small helpers shared by the file and shell tool tests.
namespace FileFixtures {

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the tools answer for a platform error with this errno.
inline QString systemError(int errorNumber) {
    return QStringLiteral("Error: ") + QString::fromLocal8Bit(std::strerror(errorNumber));
}

} // namespace FileFixtures

// Shown by QCOMPARE when two outcomes differ.
inline char* toString(const ToolOutcome& outcome) {
    return QTest::toString(
        QStringLiteral("{%1, %2, \"%3\"}")
            .arg(outcome.tool, outcome.success ? QStringLiteral("true") : QStringLiteral("false"),
                 outcome.output.left(300)));
}
