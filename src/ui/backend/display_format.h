#pragma once

#include "text/user_characters.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// How dates and lengths read in the window.
namespace DisplayFormat {

// `date` as seen from `now`, in words: "now", "5 minutes ago", "2 hours ago",
// "yesterday", "last week", "3 months ago", ... The largest calendar unit that
// has passed wins, so 23 hours across midnight is still "23 hours ago", and
// "yesterday" means one to two whole days. Anything less than a minute old,
// or dated after `now`, is "now": a date never reads as the future.
QString relativeDate(const QDateTime& date, const QDateTime& now);

} // namespace DisplayFormat

// The same, for the views.
class DisplayFormatter : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(DisplayFormat)
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE QString relativeDate(const QDateTime& date, const QDateTime& now) const {
        return DisplayFormat::relativeDate(date, now);
    }
    // Characters as the user perceives them, so an emoji or a letter with its
    // accent counts once.
    Q_INVOKABLE int characterCount(const QString& text) const { return ::characterCount(text); }
};
