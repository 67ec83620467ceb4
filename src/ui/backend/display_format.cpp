#include "display_format.h"

namespace {

// Whole calendar units between two instants, largest first.
struct Elapsed {
    int years = 0;
    int months = 0;
    int weeks = 0;
    int days = 0;
    qint64 hours = 0;
    qint64 minutes = 0;
};

Elapsed elapsedBetween(const QDateTime& earlier, const QDateTime& later) {
    Elapsed elapsed;
    elapsed.years = later.date().year() - earlier.date().year();
    while (elapsed.years > 0 && earlier.addYears(elapsed.years) > later) {
        --elapsed.years;
    }
    QDateTime cursor = earlier.addYears(elapsed.years);

    elapsed.months = (later.date().year() - cursor.date().year()) * 12 + later.date().month() -
                     cursor.date().month();
    while (elapsed.months > 0 && cursor.addMonths(elapsed.months) > later) {
        --elapsed.months;
    }
    cursor = cursor.addMonths(elapsed.months);

    int days = static_cast<int>(cursor.date().daysTo(later.date()));
    while (days > 0 && cursor.addDays(days) > later) {
        --days;
    }
    cursor = cursor.addDays(days);
    elapsed.weeks = days / 7;
    elapsed.days = days % 7;

    const qint64 seconds = cursor.secsTo(later);
    elapsed.hours = seconds / 3600;
    elapsed.minutes = seconds % 3600 / 60;
    return elapsed;
}

QString counted(qint64 count, const char* unit) {
    return QStringLiteral("%1 %2%3 ago")
        .arg(count)
        .arg(QLatin1String(unit))
        .arg(count == 1 ? "" : "s");
}

// "last week" for one, "3 weeks ago" otherwise.
QString named(qint64 count, const char* unit) {
    return count == 1 ? QStringLiteral("last ") + QLatin1String(unit) : counted(count, unit);
}

} // namespace

namespace DisplayFormat {

QString relativeDate(const QDateTime& date, const QDateTime& now) {
    if (!date.isValid() || !now.isValid()) {
        return {};
    }
    // A date ahead of the clock (set back, or read a moment early) is now too.
    if (date.secsTo(now) < 60) {
        return QStringLiteral("now");
    }
    const Elapsed e = elapsedBetween(date.toLocalTime(), now.toLocalTime());
    if (e.years > 0) {
        return named(e.years, "year");
    }
    if (e.months > 0) {
        return named(e.months, "month");
    }
    if (e.weeks > 0) {
        return named(e.weeks, "week");
    }
    if (e.days == 1) {
        return QStringLiteral("yesterday");
    }
    if (e.days > 0) {
        return counted(e.days, "day");
    }
    if (e.hours > 0) {
        return counted(e.hours, "hour");
    }
    return counted(e.minutes, "minute");
}

} // namespace DisplayFormat
