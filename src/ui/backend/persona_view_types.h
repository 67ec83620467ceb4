#pragma once

// The onboarding questionnaire and the memory-file summaries, for the views.

#include "persona/memory_file_display.h"
#include "persona/soul_questionnaire.h"

#include <QDateTime>
#include <QObject>
#include <QQmlEngine>
#include <QUrl>

namespace MemoryFileKindForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(MemoryFileKindType)
QML_NAMED_ELEMENT(MemoryFileKind)
} // namespace MemoryFileKindForeign

struct SoulQuestionnaireForeign {
    Q_GADGET
    QML_FOREIGN(SoulQuestionnaire)
    QML_NAMED_ELEMENT(SoulQuestionnaire)
};

// How the persona panel's list shows a memory file.
class PersonaDisplay : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE QString preview(const QString& content) const { return memoryFilePreview(content); }
    Q_INVOKABLE MemoryFileKind kind(const QString& name) const { return memoryFileKind(name); }
    Q_INVOKABLE QString dateText(const QDateTime& date) const { return memoryFileDateText(date); }
    // For the file manager: a file URL, with the path's special characters escaped.
    Q_INVOKABLE QUrl folderUrl(const QString& path) const { return QUrl::fromLocalFile(path); }
};
