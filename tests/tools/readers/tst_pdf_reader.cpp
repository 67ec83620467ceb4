// read_pdf on PDFs drawn with QPdfWriter (and locked with qpdf).

#include "reader_fixtures.h"
#include "tools/readers/pdf_reader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString section(int page, const QString& text) {
    return QStringLiteral("--- Page %1 ---\n%2\n\n").arg(page).arg(text);
}

QStringList numberedPages(int count, const QString& pattern) {
    QStringList pages;
    for (int page = 1; page <= count; ++page) {
        pages.append(pattern.arg(page));
    }
    return pages;
}

} // namespace

class PdfReaderTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString textPdf(const QString& name, const QStringList& pages, const QString& family = {}) {
        const QString path = m_dir.filePath(name);
        return writeTextPdf(path, pages, family) ? path : QString();
    }

private Q_SLOTS:
    void threePagesInOrder() {
        const QString path = textPdf(QStringLiteral("three.pdf"),
                                     {QStringLiteral("Alpha one"), QStringLiteral("Bravo two"),
                                      QStringLiteral("Charlie three")});
        QCOMPARE(readPdf(path),
                 (ToolOutcome{{},
                              true,
                              "PDF: 3 pages\n\n" + section(1, "Alpha one") +
                                  section(2, "Bravo two") + section(3, "Charlie three")}));
    }

    void onlyTheFirstHundredPagesAreRead() {
        const QString path =
            textPdf(QStringLiteral("long.pdf"), numberedPages(250, QStringLiteral("Marker %1")));
        const ToolOutcome outcome = readPdf(path);
        QVERIFY(outcome.success);
        QVERIFY(outcome.output.startsWith("PDF: 250 pages\n\n--- Page 1 ---\nMarker 1\n"));
        QCOMPARE(outcome.output.count("--- Page "), 100);
        QVERIFY(outcome.output.endsWith(section(100, "Marker 100")));
        QVERIFY(!outcome.output.contains("Marker 101"));
        QVERIFY(!outcome.output.contains("truncated"));
    }

    void pagesWithoutTextAreLeftOut() {
        const QString path =
            textPdf(QStringLiteral("gap.pdf"),
                    {QStringLiteral("before"), QString(), QStringLiteral("after")});
        QCOMPARE(readPdf(path).output,
                 "PDF: 3 pages\n\n" + section(1, "before") + section(3, "after"));
    }

    void scannedPdfHasNoText() {
        const QString path = m_dir.filePath(QStringLiteral("scan.pdf"));
        QVERIFY(writeImageOnlyPdf(path, 4));
        QCOMPARE(readPdf(path),
                 (ToolOutcome{{},
                              true,
                              QStringLiteral("(PDF has 4 pages but no extractable text \u2014 may "
                                             "be scanned/image-based)")}));
    }

    void longTextIsCutAtTheLimit() {
        // 120 pages of about 1,500 characters: well past 100,000 bytes.
        const QString filler = QStringLiteral("lorem ipsum dolor sit amet ").repeated(55);
        const QString path =
            textPdf(QStringLiteral("big.pdf"), numberedPages(120, "Page %1 " + filler));
        const ToolOutcome outcome = readPdf(path);
        QVERIFY(outcome.success);
        const QString header = QStringLiteral("PDF: 120 pages\n\n");
        const QString marker = QStringLiteral("\n[... truncated, 120 pages total]");
        QVERIFY(outcome.output.startsWith(header));
        QVERIFY(outcome.output.endsWith(marker));
        QCOMPARE(outcome.output.size() - header.size() - marker.size(), 100000);
    }

    void limitCountsBytesButCutsCharacters() {
        // 100 pages of 400 Chinese characters: 120,000 bytes but only 40,000
        // characters, so nothing is cut and the marker still says why.
        const QString line = QStringLiteral("中文文本测试").repeated(67).left(400);
        const QString path = textPdf(QStringLiteral("cjk.pdf"), QStringList(100, line),
                                     QStringLiteral("WenQuanYi Micro Hei"));
        const ToolOutcome outcome = readPdf(path);
        QVERIFY(outcome.success);
        QVERIFY(outcome.output.toUtf8().size() > 100000);
        // The last page is there whole with its closing break, then the marker.
        QVERIFY(outcome.output.endsWith(line.right(10) + "\n\n\n[... truncated, 100 pages total]"));
        QString characters = outcome.output;
        characters.remove(QRegularExpression(QStringLiteral(
            R"(^PDF: 100 pages|--- Page \d+ ---|\[\.\.\. truncated, 100 pages total\]|\s)")));
        QCOMPARE(characters, line.repeated(100));
    }

    void unreadableFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text file") << "notes.pdf" << QByteArray("Just a text file, not a PDF.\n");
        QTest::newRow("empty file") << "empty.pdf" << QByteArray();
        QTest::newRow("truncated header") << "cut.pdf" << QByteArray("%PDF-1.4\n1 0 obj\n<<");
        QTest::newRow("missing") << "missing.pdf" << QByteArray();
    }
    void unreadableFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(name);
        if (name != QLatin1String("missing.pdf")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QCOMPARE(readPdf(path), (ToolOutcome{{}, false, "Cannot open PDF: " + path}));
    }

    void passwordProtectedPdf() {
        const QString plain =
            textPdf(QStringLiteral("secret-plain.pdf"), {QStringLiteral("Restricted")});
        const QString locked = m_dir.filePath(QStringLiteral("locked.pdf"));
        const QString ownerOnly = m_dir.filePath(QStringLiteral("owner-only.pdf"));
        QCOMPARE(
            runTool(QStringLiteral("qpdf"), {QStringLiteral("--encrypt"), QStringLiteral("user-pw"),
                                             QStringLiteral("owner-pw"), QStringLiteral("256"),
                                             QStringLiteral("--"), plain, locked}),
            0);
        QCOMPARE(readPdf(locked), (ToolOutcome{{}, false, "Cannot open PDF: " + locked}));

        // Without a user password anyone may open it, so the text is read.
        QCOMPARE(runTool(QStringLiteral("qpdf"),
                         {QStringLiteral("--encrypt"), QString(), QStringLiteral("owner-pw"),
                          QStringLiteral("256"), QStringLiteral("--"), plain, ownerOnly}),
                 0);
        QCOMPARE(readPdf(ownerOnly).output, "PDF: 1 pages\n\n" + section(1, "Restricted"));
    }

    void pathsAreTildeExpandedAndQuotedAsGiven() {
        QVERIFY(writeTextPdf(QDir::home().filePath(QStringLiteral("home.pdf")),
                             {QStringLiteral("Home page")}));
        QCOMPARE(readPdf(QStringLiteral("~/home.pdf")).output,
                 "PDF: 1 pages\n\n" + section(1, "Home page"));
        QCOMPARE(readPdf(QStringLiteral("~/none.pdf")),
                 (ToolOutcome{{}, false, "Cannot open PDF: ~/none.pdf"}));
        QFile::remove(QDir::home().filePath(QStringLiteral("home.pdf")));
    }
};

QTEST_MAIN(PdfReaderTest)
#include "tst_pdf_reader.moc"
