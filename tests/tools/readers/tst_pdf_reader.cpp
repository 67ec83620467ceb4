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
        QCOMPARE(readPdf(textPdf("gap.pdf", {"Alpha one", QString(), "Charlie three"})),
                 (ToolOutcome{{},
                              true,
                              "PDF: 3 pages\n\n" + section(1, "Alpha one") +
                                  section(3, "Charlie three")}));
        const QString scan = m_dir.filePath("scan.pdf");
        QVERIFY(writeTextPdf(scan, QStringList(4, "Scanned page"), {}, true));
        QCOMPARE(readPdf(scan).output, "(PDF has 4 pages but no extractable text \u2014 may "
                                       "be scanned/image-based)");
        // The home is where "~" says, and the path is quoted as given.
        QVERIFY(writeTextPdf(QDir::home().filePath("home.pdf"), {"Home page"}));
        QCOMPARE(readPdf("~/home.pdf").output, "PDF: 1 pages\n\n" + section(1, "Home page"));
        QCOMPARE(readPdf("~/none.pdf"), (ToolOutcome{{}, false, "Cannot open PDF: ~/none.pdf"}));
    }

    void onlyTheFirstHundredPagesAreRead() {
        QStringList pages;
        for (int page = 1; page <= 250; ++page) {
            pages.append(QStringLiteral("Marker %1").arg(page));
        }
        const ToolOutcome outcome = readPdf(textPdf("long.pdf", pages));
        QVERIFY(outcome.output.startsWith("PDF: 250 pages\n\n--- Page 1 ---\nMarker 1\n"));
        QCOMPARE(outcome.output.count("--- Page "), 100);
        QVERIFY(outcome.output.endsWith(section(100, "Marker 100")));
    }

    void limitCountsBytesButCutsCharacters() {
        // 100 pages of 400 Chinese characters: 120,000 bytes but only 40,000
        // characters, so nothing is cut and the marker still says why.
        const QString line = QString("中文文本测试").repeated(67).left(400);
        const ToolOutcome outcome =
            readPdf(textPdf("cjk.pdf", QStringList(100, line), "WenQuanYi Micro Hei"));
        // The last page is there whole with its closing break, then the marker.
        QVERIFY(outcome.output.endsWith(line.right(10) + "\n\n\n[... truncated, 100 pages total]"));
        QString characters = outcome.output;
        characters.remove(QRegularExpression(
            R"(^PDF: 100 pages|--- Page \d+ ---|\[\.\.\. truncated, 100 pages total\]|\s)"));
        QCOMPARE(characters, line.repeated(100));
        // 100 pages of about 1,500 characters are cut at 100,000.
        const ToolOutcome latin = readPdf(textPdf(
            "big.pdf", QStringList(100, QString("lorem ipsum dolor sit amet ").repeated(55))));
        const QString header = "PDF: 100 pages\n\n";
        const QString marker = "\n[... truncated, 100 pages total]";
        QVERIFY(latin.success && latin.output.startsWith(header) && latin.output.endsWith(marker));
        QCOMPARE(latin.output.size() - header.size() - marker.size(), 100000);
    }

    void unreadableFiles() {
        const QString plain = m_dir.filePath("plain.pdf");
        const QString locked = m_dir.filePath("locked.pdf");
        const QString ownerOnly = m_dir.filePath("owner-only.pdf");
        const QString source = textPdf("secret-plain.pdf", {"Restricted"});
        QCOMPARE(
            runProgram("qpdf", {"--encrypt", "user-pw", "owner-pw", "256", "--", source, locked})
                .exitCode,
            0);
        for (const QByteArray& content :
             {QByteArray("Just text.\n"), QByteArray("%PDF-1.4\n1 0 obj\n<<")}) {
            QVERIFY(writeBytes(plain, content));
            QCOMPARE(readPdf(plain), (ToolOutcome{{}, false, "Cannot open PDF: " + plain}));
        }
        QCOMPARE(readPdf(locked), (ToolOutcome{{}, false, "Cannot open PDF: " + locked}));
        // Without a user password anyone may open it, so the text is read.
        QCOMPARE(runProgram("qpdf", {"--encrypt", "", "owner-pw", "256", "--", source, ownerOnly})
                     .exitCode,
                 0);
        QCOMPARE(readPdf(ownerOnly).output, "PDF: 1 pages\n\n" + section(1, "Restricted"));
    }
};

QTEST_MAIN(PdfReaderTest)
#include "tst_pdf_reader.moc"
