#pragma once

#include <QString>
#include <QStringList>

// The texts of the memory tags in a reply, in order: "[memory:" or "[memory："
// (lower-case), optional whitespace, then the shortest run up to "]" that stays on
// one line. Each text is trimmed of spaces and tabs; empty ones are left out.
QStringList memoryTags(const QString& reply);
