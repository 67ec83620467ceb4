#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QUuid>

#include <optional>

// One Markdown file of the memory directory as of the last scan. QML reads it
// through the gadget's properties; an absent date reads as an invalid QDateTime.
struct MemoryFile {
    Q_GADGET
    Q_PROPERTY(QString id READ idText)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString url MEMBER url)
    Q_PROPERTY(QString content MEMBER content)
    Q_PROPERTY(QDateTime date READ dateOrInvalid)
    Q_PROPERTY(bool hasDate READ hasDate)

public:
    QUuid id;                      // new on every scan
    QString name;                  // file name without its last extension
    QString url;                   // full path
    QString content;               // empty when unreadable
    std::optional<QDateTime> date; // content-modification time

    QString idText() const { return id.toString(QUuid::WithoutBraces); }
    QDateTime dateOrInvalid() const { return date.value_or(QDateTime()); }
    bool hasDate() const { return date.has_value(); }

    bool operator==(const MemoryFile&) const = default;
};

Q_DECLARE_METATYPE(MemoryFile)
