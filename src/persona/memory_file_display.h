#pragma once

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>

// How a memory file is summarised in the persona panel's list.

// The first content line and the one after it, joined by a space and cut to
// 80 characters; leading headings and blank lines are skipped. "Empty" when
// nothing is left.
QString memoryFilePreview(const QString& content);

// What a file is about, by how its name ends ("2026-03-14-work" is work);
// daily logs and any other name count as daily. The views compare it as
// `MemoryFileKind.Value.work`.
namespace MemoryFileKindType {
Q_NAMESPACE
enum class Value { personal, work, financial, daily };
Q_ENUM_NS(Value)
} // namespace MemoryFileKindType
using MemoryFileKind = MemoryFileKindType::Value;

MemoryFileKind memoryFileKind(const QString& name);

// The modification time as an abbreviated date and a short time ("Mar 14, 2026, 9:41 AM").
QString memoryFileDateText(const QDateTime& date, const QLocale& locale = QLocale::system());
