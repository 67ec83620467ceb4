#pragma once

#include <QString>

// The texts that tools of every kind answer with, defined once.
namespace ToolTexts {

inline QString fileNotFound(const QString& path) {
    return QStringLiteral("File not found: ") + path;
}
inline QString error(const QString& description) {
    return QStringLiteral("Error: ") + description;
}
// Devices, pipes and sockets may never end, or never start: opening a FIFO
// waits for a writer.
inline QString notARegularFile() {
    return QStringLiteral("Not a regular file");
}

} // namespace ToolTexts
