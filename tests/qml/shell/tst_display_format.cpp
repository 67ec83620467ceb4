// How the sidebar words a conversation's date, and how lengths are counted.

#include "ui/backend/display_format.h"

#include <QTimeZone>
#include <QtTest>

class TestDisplayFormat : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void relativeDate_data();
    void relativeDate();
    void crossesMidnightByHours();
    void invalidDateReadsAsNothing();
    void characterCount_data();
    void characterCount();
};

void TestDisplayFormat::relativeDate_data() {
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<QString>("expected");

    // A fixed "now" in the middle of a month, away from any DST change.
    const QDateTime now(QDate(2024, 5, 15), QTime(14, 30, 0));
    QTest::newRow("same instant") << now << "now";
    QTest::newRow("half a second") << now.addMSecs(-500) << "now";
    QTest::newRow("seconds") << now.addSecs(-42) << "now";
    QTest::newRow("59 seconds") << now.addSecs(-59) << "now";
    QTest::newRow("one minute") << now.addSecs(-60) << "1 minute ago";
    QTest::newRow("minutes, seconds dropped") << now.addSecs(-(5 * 60 + 59)) << "5 minutes ago";
    QTest::newRow("one hour") << now.addSecs(-3600) << "1 hour ago";
    QTest::newRow("two hours") << now.addSecs(-2 * 3600 - 120) << "2 hours ago";
    QTest::newRow("a whole day") << now.addDays(-1) << "yesterday";
    QTest::newRow("a day and 23 hours") << now.addDays(-1).addSecs(-23 * 3600) << "yesterday";
    QTest::newRow("two days") << now.addDays(-2) << "2 days ago";
    QTest::newRow("six days") << now.addDays(-6) << "6 days ago";
    QTest::newRow("one week") << now.addDays(-7) << "last week";
    QTest::newRow("three weeks") << now.addDays(-21) << "3 weeks ago";
    QTest::newRow("one month") << now.addMonths(-1) << "last month";
    QTest::newRow("five months") << now.addMonths(-5).addDays(-3) << "5 months ago";
    QTest::newRow("one year") << now.addYears(-1) << "last year";
    QTest::newRow("three years") << now.addYears(-3).addMonths(-2) << "3 years ago";
    // A clock read a little early, or set back: never a date to come.
    QTest::newRow("seconds ahead") << now.addSecs(16) << "now";
    QTest::newRow("days ahead") << now.addDays(3) << "now";
}

void TestDisplayFormat::relativeDate() {
    QFETCH(QDateTime, date);
    QFETCH(QString, expected);
    const QDateTime now(QDate(2024, 5, 15), QTime(14, 30, 0));
    QCOMPARE(DisplayFormat::relativeDate(date, now), expected);
}

// Units are counted by the calendar: 15 January to 14 February is not yet a
// month, and late yesterday evening is some hours ago, not "yesterday".
void TestDisplayFormat::crossesMidnightByHours() {
    const QDateTime morning(QDate(2024, 5, 15), QTime(8, 0));
    QCOMPARE(DisplayFormat::relativeDate(QDateTime(QDate(2024, 5, 14), QTime(23, 0)), morning),
             QStringLiteral("9 hours ago"));
    const QDateTime midJanuary(QDate(2024, 1, 15), QTime(12, 0));
    QCOMPARE(DisplayFormat::relativeDate(midJanuary, QDateTime(QDate(2024, 2, 14), QTime(12, 0))),
             QStringLiteral("4 weeks ago"));
    QCOMPARE(DisplayFormat::relativeDate(midJanuary, QDateTime(QDate(2024, 2, 15), QTime(12, 0))),
             QStringLiteral("last month"));
    QCOMPARE(DisplayFormat::relativeDate(midJanuary, QDateTime(QDate(2025, 1, 14), QTime(12, 0))),
             QStringLiteral("11 months ago"));
    // The same instant written in another zone is still now.
    const QDateTime utc = morning.toUTC();
    QCOMPARE(DisplayFormat::relativeDate(utc, morning), QStringLiteral("now"));
}

void TestDisplayFormat::invalidDateReadsAsNothing() {
    QCOMPARE(DisplayFormat::relativeDate(QDateTime(), QDateTime::currentDateTime()), QString());
}

void TestDisplayFormat::characterCount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("ascii") << QStringLiteral("1234") << 4;
    QTest::newRow("chinese") << QStringLiteral("用户喜欢猫") << 5;
    QTest::newRow("emoji outside the BMP") << QStringLiteral("📱ok") << 3;
    QTest::newRow("letter with combining accent") << QStringLiteral("e\u0301") << 1;
    QTest::newRow("family emoji") << QStringLiteral("👨‍👩‍👧") << 1;
    QTest::newRow("CRLF is one") << QStringLiteral("a\r\nb") << 3;
}

void TestDisplayFormat::characterCount() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(DisplayFormat::characterCount(text), expected);
}

QTEST_GUILESS_MAIN(TestDisplayFormat)

#include "tst_display_format.moc"
