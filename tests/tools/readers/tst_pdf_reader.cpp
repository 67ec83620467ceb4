// read_pdf on PDFs drawn with QPdfWriter (and locked with qpdf).

#include "office_files.h"
#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/readers/pdf_reader.h"

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
    void pagesInOrderWithoutEmptyOnes() {
        QCOMPARE(readPdf(textPdf("three.pdf", {"Alpha one", "Bravo two", "Charlie three"})),
                 (ToolOutcome{{},
                              true,
                              "PDF: 3 pages\n\n" + section(1, "Alpha one") +
                                  section(2, "Bravo two") + section(3, "Charlie three")}));
        QCOMPARE(readPdf(textPdf("gap.pdf", {"before", QString(), "after"})).output,
                 "PDF: 3 pages\n\n" + section(1, "before") + section(3, "after"));
        const QString scan = m_dir.filePath("scan.pdf");
        QVERIFY(writeImageOnlyPdf(scan, 4));
        QCOMPARE(readPdf(scan), (ToolOutcome{{},
                                             true,
                                             "(PDF has 4 pages but no extractable text \u2014 may "
                                             "be scanned/image-based)"}));
    }

    void onlyTheFirstHundredPagesAreRead() {
        const ToolOutcome outcome = readPdf(textPdf("long.pdf", numberedPages(250, "Marker %1")));
        QVERIFY(outcome.output.startsWith("PDF: 250 pages\n\n--- Page 1 ---\nMarker 1\n"));
        QCOMPARE(outcome.output.count("--- Page "), 100);
        QVERIFY(outcome.output.endsWith(section(100, "Marker 100")));
        QVERIFY(!outcome.output.contains("Marker 101") && !outcome.output.contains("truncated"));
    }

    void longTextIsCutAtTheLimit() {
        // 120 pages of about 1,500 characters: well past 100,000 bytes.
        const QString filler = QString("lorem ipsum dolor sit amet ").repeated(55);
        const ToolOutcome outcome =
            readPdf(textPdf("big.pdf", numberedPages(120, "Page %1 " + filler)));
        const QString header = "PDF: 120 pages\n\n";
        const QString marker = "\n[... truncated, 120 pages total]";
        QVERIFY(outcome.success && outcome.output.startsWith(header) &&
                outcome.output.endsWith(marker));
        QCOMPARE(outcome.output.size() - header.size() - marker.size(), 100000);
    }

    void limitCountsBytesButCutsCharacters() {
        // 100 pages of 400 Chinese characters: 120,000 bytes but only 40,000
        // characters, so nothing is cut and the marker still says why.
        const QString line = QString("中文文本测试").repeated(67).left(400);
        const ToolOutcome outcome =
            readPdf(textPdf("cjk.pdf", QStringList(100, line), "WenQuanYi Micro Hei"));
        QVERIFY(outcome.output.toUtf8().size() > 100000);
        // The last page is there whole with its closing break, then the marker.
        QVERIFY(outcome.output.endsWith(line.right(10) + "\n\n\n[... truncated, 100 pages total]"));
        QString characters = outcome.output;
        characters.remove(QRegularExpression(
            R"(^PDF: 100 pages|--- Page \d+ ---|\[\.\.\. truncated, 100 pages total\]|\s)"));
        QCOMPARE(characters, line.repeated(100));
    }

    void unreadableFiles_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::newRow("text file") << QByteArray("Just a text file, not a PDF.\n");
        QTest::newRow("empty file") << QByteArray("");
        QTest::newRow("truncated header") << QByteArray("%PDF-1.4\n1 0 obj\n<<");
        QTest::newRow("missing") << QByteArray();
    }
    void unreadableFiles() {
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(QTest::currentDataTag() + QString(".pdf"));
        QVERIFY(content.isNull() || writeBytes(path, content));
        QCOMPARE(readPdf(path), (ToolOutcome{{}, false, "Cannot open PDF: " + path}));
    }

    void passwordProtectedPdf() {
        const QString plain = textPdf("secret-plain.pdf", {"Restricted"});
        const QString locked = m_dir.filePath("locked.pdf");
        const QString ownerOnly = m_dir.filePath("owner-only.pdf");
        QCOMPARE(
            runProgram("qpdf", {"--encrypt", "user-pw", "owner-pw", "256", "--", plain, locked})
                .exitCode,
            0);
        QCOMPARE(readPdf(locked), (ToolOutcome{{}, false, "Cannot open PDF: " + locked}));
        // Without a user password anyone may open it, so the text is read.
        QCOMPARE(runProgram("qpdf", {"--encrypt", "", "owner-pw", "256", "--", plain, ownerOnly})
                     .exitCode,
                 0);
        QCOMPARE(readPdf(ownerOnly).output, "PDF: 1 pages\n\n" + section(1, "Restricted"));
    }

    void pathsAreTildeExpandedAndQuotedAsGiven() {
        QVERIFY(writeTextPdf(QDir::home().filePath("home.pdf"), {"Home page"}));
        QCOMPARE(readPdf("~/home.pdf").output, "PDF: 1 pages\n\n" + section(1, "Home page"));
        QCOMPARE(readPdf("~/none.pdf"), (ToolOutcome{{}, false, "Cannot open PDF: ~/none.pdf"}));
        QFile::remove(QDir::home().filePath("home.pdf"));
    }
};

QTEST_MAIN(PdfReaderTest)
#include "tst_pdf_reader.moc"
