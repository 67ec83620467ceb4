// How the sidebar words a conversation's date, where the window opens, how
// files given to the input are typed, and the phone address's QR code.

#include "ui/backend/display_format.h"
#include "ui/backend/input_paths.h"
#include "ui/backend/qr_code_provider.h"
#include "ui/backend/window_placement.h"

#include "support/json_rows.h"
#include "support/qr_reader.h"

#include <QImage>
#include <QTemporaryDir>
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

    // On a small or scaled screen the window still fits, frame and all, centred on the
    // available area to a pixel, and its minimum never holds it larger than the screen
    // ("scale 2": 1920 x 1200 at a factor of 2 less a 32-pixel panel; at 1.5 neither the
    // size nor the minimum fits).
    void windowFitsTheAvailableArea_data() { addJsonRows(table, "windowPlacement"); }
    void windowFitsTheAvailableArea() {
        QFETCH(QJsonObject, row);
        const QRect available = rect(row.value("available"));
        const QRect margins = rect(row.value("frame"));
        const QMargins frame(margins.x(), margins.y(), margins.width(), margins.height());
        QCOMPARE(WindowPlacement::fittedGeometry(QSize(940, 680), available, frame),
                 rect(row.value("client")));
        QCOMPARE(WindowPlacement::fittedMinimum(QSize(800, 560), available, frame),
                 size(row.value("minimum")));
    }

    // The window comes back where it was left, on a screen there is now (the
    // primary's area first), whole and no larger than that screen holds.
    void windowComesBackOnAScreen_data() { addJsonRows(table, "windowRestore"); }
    void windowComesBackOnAScreen() {
        QFETCH(QJsonObject, row);
        QList<QRect> areas;
        std::ranges::transform(row.value("screens").toArray(), std::back_inserter(areas), rect);
        QCOMPARE(WindowPlacement::restoredGeometry(rect(row.value("saved")), areas,
                                                   QMargins(1, 30, 1, 1)),
                 rect(row.value("client")));
    }

    // Files dropped on the window or chosen with the paper clip, as typed
    // into the message (home here is /home/ada).
    void filesAreTypedAsPaths_data() { addJsonRows(table, "inputPaths"); }
    void filesAreTypedAsPaths() {
        QFETCH(QJsonObject, row);
        QList<QUrl> urls;
        for (const QString& url : jsonTexts(row.value("urls"))) {
            urls.append(QUrl(url));
        }
        QCOMPARE(InputPaths::text(urls, "/home/ada"), row.value("text").toString());
    }

    // The phone address's QR code, as the MOBILE panel asks for it, reads back
    // (zbarimg, Debian's zbar-tools) to the address with its key, within the
    // size asked.
    void qrCodeReadsBack_data() { addJsonRows(table, "qrCodes"); }
    void qrCodeReadsBack() {
        QFETCH(QJsonObject, row);
        const QString address = row.value("text").toString();
        const int asked = row.value("size").toInt();
        QrCodeProvider provider;
        QSize size;
        const QImage image = provider.requestImage(
            QString::fromLatin1(QUrl::toPercentEncoding(address)), &size, QSize(asked, asked));
        QVERIFY(!image.isNull());
        QCOMPARE(size, image.size());
        QVERIFY2(asked == 0 || image.width() <= asked, qPrintable(QString::number(image.width())));
        QTemporaryDir dir;
        const QString file = dir.filePath("code.png");
        QVERIFY(image.save(file));
        QCOMPARE(readQrCode(file), address);
    }
};

QTEST_GUILESS_MAIN(TestUiBackend)

#include "tst_ui_backend.moc"
