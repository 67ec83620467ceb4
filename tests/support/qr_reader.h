#pragma once

#include <QProcess>
#include <QString>

// What zbarimg (Debian's zbar-tools) reads in the picture at `path`, as a
// phone's camera would; empty when it reads nothing.
inline QString readQrCode(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral("zbarimg"),
                 {QStringLiteral("--quiet"), QStringLiteral("--raw"), path});
    if (!reader.waitForFinished(60000) || reader.exitStatus() != QProcess::NormalExit ||
        reader.exitCode() != 0) {
        return {};
    }
    // --raw ends each symbol's text with a line break.
    QString text = QString::fromUtf8(reader.readAllStandardOutput());
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    return text;
}
