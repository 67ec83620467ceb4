// How the sidebar words a conversation's date, how lengths are counted, and
// where the window opens.

#include "ui/backend/display_format.h"
#include "ui/backend/window_placement.h"

#include <QtTest>

class TestUiBackend : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void relativeDate_data() {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("expected");
        // A "now" in the middle of a month, away from any DST change.
        const QDateTime now(QDate(2024, 5, 15), QTime(14, 30, 0));
        const auto at = [](int year, int month, int day, int hour) {
            return QDateTime(QDate(year, month, day), QTime(hour, 0));
        };
        const QDateTime morning = at(2024, 5, 15, 8);
        QTest::newRow("59 seconds") << now.addSecs(-59) << now << "now";
        QTest::newRow("minutes, seconds dropped") << now.addSecs(-359) << now << "5 minutes ago";
        QTest::newRow("one hour") << now.addSecs(-3600) << now << "1 hour ago";
        QTest::newRow("a day and 23 hours") << now.addSecs(-47 * 3600) << now << "yesterday";
        QTest::newRow("six days") << now.addDays(-6) << now << "6 days ago";
        QTest::newRow("one week") << now.addDays(-7) << now << "last week";
        QTest::newRow("three years") << now.addYears(-3).addMonths(-2) << now << "3 years ago";
        // Units count by the calendar: late yesterday evening is hours ago, and
        // 15 January to 14 February not yet a month.
        QTest::newRow("across midnight") << at(2024, 5, 14, 23) << morning << "9 hours ago";
        QTest::newRow("almost a month")
            << at(2024, 1, 15, 12) << at(2024, 2, 14, 12) << "4 weeks ago";
        QTest::newRow("a month") << at(2024, 1, 15, 12) << at(2024, 2, 15, 12) << "last month";
        QTest::newRow("almost a year")
            << at(2024, 1, 15, 12) << at(2025, 1, 14, 12) << "11 months ago";
        QTest::newRow("another zone, same instant") << morning.toUTC() << morning << "now";
        // A clock read a little early, or set back: never a date to come.
        QTest::newRow("seconds ahead") << now.addSecs(16) << now << "now";
        QTest::newRow("days ahead") << now.addDays(3) << now << "now";
        QTest::newRow("invalid") << QDateTime() << now << "";
    }

    void relativeDate() {
        QFETCH(QDateTime, date);
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        QCOMPARE(DisplayFormat::relativeDate(date, now), expected);
    }

    // Characters as the user sees them.
    void characterCount_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("chinese") << QStringLiteral("用户喜欢猫") << 5;
        QTest::newRow("emoji outside the BMP") << QStringLiteral("📱ok") << 3;
        QTest::newRow("combining accent") << QStringLiteral("e\u0301") << 1;
        QTest::newRow("family emoji") << QStringLiteral("👨‍👩‍👧") << 1;
        QTest::newRow("CRLF is one") << QStringLiteral("a\r\nb") << 3;
    }

    void characterCount() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(DisplayFormat::characterCount(text), expected);
    }

    // On a small or scaled screen the window still fits, frame and all, and its
    // minimum never holds it larger than the screen.
    void windowFitsTheAvailableArea_data() {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("minimum");
        const QMargins bar(1, 30, 1, 1); // a title bar
        QTest::newRow("full HD") << QRect(0, 0, 1920, 1048) << bar << QSize(940, 680)
                                 << QSize(800, 560);
        // 1920 × 1200 at a scale factor of 2, less a 32-pixel panel.
        QTest::newRow("scale 2") << QRect(0, 32, 960, 568) << bar << QSize(940, 537)
                                 << QSize(800, 537);
        // 1366 × 768 at 1.5, panel at the left: neither the size nor the minimum fits.
        QTest::newRow("scale 1.5, side panel")
            << QRect(48, 0, 863, 512) << bar << QSize(861, 481) << QSize(800, 481);
        QTest::newRow("no frame yet")
            << QRect(0, 0, 960, 600) << QMargins() << QSize(940, 600) << QSize(800, 560);
        QTest::newRow("second screen")
            << QRect(1920, 0, 1280, 1024) << bar << QSize(940, 680) << QSize(800, 560);
    }

    void windowFitsTheAvailableArea() {
        QFETCH(QRect, available);
        QFETCH(QMargins, frame);
        QFETCH(QSize, size);
        QFETCH(QSize, minimum);
        const QRect client = WindowPlacement::fittedGeometry(QSize(940, 680), available, frame);
        QCOMPARE(client.size(), size);
        const QRect framed = client.marginsAdded(frame);
        QVERIFY2(available.contains(framed), "the framed window lies on the available area");
        // Centred: the free room on either side differs by at most a pixel.
        QVERIFY(qAbs((framed.left() - available.left()) - (available.right() - framed.right())) <=
                1);
        QVERIFY(qAbs((framed.top() - available.top()) - (available.bottom() - framed.bottom())) <=
                1);
        QCOMPARE(WindowPlacement::fittedMinimum(QSize(800, 560), available, frame), minimum);
    }
};

QTEST_GUILESS_MAIN(TestUiBackend)

#include "tst_ui_backend.moc"
