#pragma once

#include "tools/files/child_process.h"

#include <QByteArray>

// Runs a reference program (ls, grep, cat) through the same spawner the tools
// use, keeping its output, so that both sides of a comparison pay the same
// process costs.
inline QByteArray runReferenceTool(const QString& program, const QStringList& arguments) {
    QByteArray output;
    runChildProcess(
        {program, arguments, QString(), std::nullopt},
        [&output](QByteArrayView chunk) { output.append(chunk); }, [](QByteArrayView) {});
    return output;
}
