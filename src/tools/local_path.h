#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

// The bytes the system is given for text, or nothing when the text holds a NUL
// character: the system would silently act on what comes before it instead.
inline std::optional<QByteArray> systemBytes(const QString& text) {
    if (text.contains(QChar(0))) {
        return std::nullopt;
    }
    return QFile::encodeName(text);
}
