// How the sidebar words a conversation's date, how lengths are counted, and
// where the window opens.

#include "ui/backend/display_format.h"
#include "ui/backend/window_placement.h"

#include "support/json_rows.h"

#include <QtTest>

namespace {

const QString table = "ui/backend.json";

QDateTime at(const QJsonValue& value) {
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}
QRect rect(const QJsonValue& value) {
    return QRect(value[0].toInt(), value[1].toInt(), value[2].toInt(), value[3].toInt());
}
QSize size(const QJsonValue& value) {
    return QSize(value[0].toInt(), value[1].toInt());
}

} // namespace

class TestUiBackend : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Units count by the calendar: late yesterday evening is hours ago, and
    // 15 January to 14 February not yet a month. A clock read a little early, or
    // set back, never gives a date to come. Times are local, "utc" rows convert.
    void relativeDate_data() { addJsonRows(table, "relativeDate"); }
    void relativeDate() {
        QFETCH(QJsonObject, row);
        const QDateTime date = at(row.value("date"));
        QCOMPARE(DisplayFormat::relativeDate(row.value("utc").toBool() ? date.toUTC() : date,
                                             at(row.value("now"))),
                 row.value("expected").toString());
    }

    // Characters as the user sees them.
    void characterCount_data() { addJsonRows(table, "characterCount"); }
    void characterCount() {
        QFETCH(QJsonObject, row);
        QCOMPARE(DisplayFormatter().characterCount(row.value("text").toString()),
                 row.value("count").toInt());
    }

    // On a small or scaled screen the window still fits, frame and all, centred on the
    // available area to a pixel, and its minimum never holds it larger than the screen
    // ("scale 2": 1920 x 1200 at a factor of 2 less a 32-pixel panel; at 1.5 neither the
    // size nor the minimum fits).
    void windowFitsTheAvailableArea_data() { addJsonRows(table, "windowPlacement"); }
    void windowFitsTheAvailableArea() {
        QFETCH(QJsonObject, row);
        const QRect available = rect(row.value("available"));
        const QJsonValue margins = row.value("frame");
        const QMargins frame(margins[0].toInt(), margins[1].toInt(), margins[2].toInt(),
                             margins[3].toInt());
        QCOMPARE(WindowPlacement::fittedGeometry(QSize(940, 680), available, frame),
                 rect(row.value("client")));
        QCOMPARE(WindowPlacement::fittedMinimum(QSize(800, 560), available, frame),
                 size(row.value("minimum")));
    }
};

QTEST_GUILESS_MAIN(TestUiBackend)

#include "tst_ui_backend.moc"
