// Where the window opens: on a small or scaled screen it still fits, frame and
// all, and its minimum never holds it larger than the screen.

#include "ui/backend/window_placement.h"

#include <QtTest>

class TestWindowPlacement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fitsTheAvailableArea_data();
    void fitsTheAvailableArea();
};

void TestWindowPlacement::fitsTheAvailableArea_data() {
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("minimum");

    const QMargins titleBar(1, 30, 1, 1);
    QTest::newRow("full HD: the default size")
        << QRect(0, 0, 1920, 1048) << titleBar << QSize(940, 680) << QSize(800, 560);
    // 1920 × 1200 at a scale factor of 2, less a 32-pixel panel.
    QTest::newRow("scale 2") << QRect(0, 32, 960, 568) << titleBar << QSize(940, 537)
                             << QSize(800, 537);
    // 1366 × 768 at 1.5, panel at the left: neither the size nor the minimum fits.
    QTest::newRow("scale 1.5, side panel")
        << QRect(48, 0, 863, 512) << titleBar << QSize(861, 481) << QSize(800, 481);
    QTest::newRow("no frame yet") << QRect(0, 0, 960, 600) << QMargins() << QSize(940, 600)
                                  << QSize(800, 560);
    QTest::newRow("second screen")
        << QRect(1920, 0, 1280, 1024) << titleBar << QSize(940, 680) << QSize(800, 560);
}

void TestWindowPlacement::fitsTheAvailableArea() {
    QFETCH(QRect, available);
    QFETCH(QMargins, frame);
    QFETCH(QSize, size);
    QFETCH(QSize, minimum);

    const QRect client = WindowPlacement::fittedGeometry(QSize(940, 680), available, frame);
    QCOMPARE(client.size(), size);
    const QRect framed = client.marginsAdded(frame);
    QVERIFY2(available.contains(framed), "the framed window lies on the available area");
    // Centred: the free room on either side differs by at most a pixel.
    QVERIFY(qAbs((framed.left() - available.left()) - (available.right() - framed.right())) <= 1);
    QVERIFY(qAbs((framed.top() - available.top()) - (available.bottom() - framed.bottom())) <= 1);

    QCOMPARE(WindowPlacement::fittedMinimum(QSize(800, 560), available, frame), minimum);
}

QTEST_GUILESS_MAIN(TestWindowPlacement)

#include "tst_window_placement.moc"
