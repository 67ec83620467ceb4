// read_docx and read_xlsx on packages built with libzip, and read_pdf on PDFs
// drawn with QPdfWriter (and locked with qpdf): the text they find, their
// limits, and the files they refuse.

#include "office_files.h"
#include "support/json_rows.h"
#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/readers/docx_reader.h"
#include "tools/readers/pdf_reader.h"
#include "tools/readers/reader_texts.h"
#include "tools/readers/xlsx_reader.h"
#include "tools/tool_stop.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

namespace {

// Sets the 32-bit little-endian size field of the local header and of the
// central directory entry of a one-member archive, the way a forged archive lies.
QByteArray withDeclaredSize(QByteArray zip, quint32 size) {
    for (const auto& [signature, offset] : {std::pair{"PK\x03\x04", 22}, {"PK\x01\x02", 24}}) {
        const qsizetype at = zip.indexOf(QByteArray(signature, 4));
        for (int byte = 0; byte < 4; ++byte) {
            zip[at + offset + byte] = char((size >> (8 * byte)) & 0xff);
        }
    }
    return zip;
}

// A PDF of two pages with the given content streams, Helvetica as F1.
QByteArray twoPagePdf(const QByteArray& first, const QByteArray& second) {
    const QByteArray page = "<</Type/Page/Parent 2 0 R/MediaBox[0 0 612 792]"
                            "/Resources<</Font<</F1 5 0 R>>>>/Contents ";
    const QList<QByteArray> objects{
        "<</Type/Catalog/Pages 2 0 R>>",
        "<</Type/Pages/Kids[3 0 R 4 0 R]/Count 2>>",
        page + "6 0 R>>",
        page + "7 0 R>>",
        "<</Type/Font/Subtype/Type1/BaseFont/Helvetica>>",
        "<</Length " + QByteArray::number(first.size()) + ">>stream\n" + first + "\nendstream",
        "<</Length " + QByteArray::number(second.size()) + ">>stream\n" + second + "\nendstream"};
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray table = "xref\n0 8\n0000000000 65535 f \n";
    for (qsizetype i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    return pdf + table + "trailer\n<</Size 8/Root 1 0 R>>\nstartxref\n" +
           QByteArray::number(pdf.size()) + "\n%%EOF\n";
}

QString section(int page, const QString& text) {
    return QStringLiteral("--- Page %1 ---\n%2\n\n").arg(page).arg(text);
}

ToolOutcome answer(const QString& output, bool success = true) {
    return {{}, success, output};
}

} // namespace

class DocumentReadersTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString textPdf(const QString& name, const QStringList& pages, const QString& family = {}) {
        const QString path = m_dir.filePath(name);
        return writeTextPdf(path, pages, family) ? path : QString();
    }

private Q_SLOTS:
    // Packages as rows: a DOCX body or XLSX sheet data and shared strings
    // wrapped in their parts, raw parts, or the bytes of the whole file. A
    // refused file never takes the app down; its answer begins with "output".
    void packages_data() {
        addJsonRows("tools/readers.json", "packages");
        // Made here: a zip bomb, sizes a forged header lies about, and deep nesting.
        const auto refused = [](const char* tag, const char* reader, const QByteArray& zip,
                                const QString& output) {
            QTest::newRow(tag) << QJsonObject{{"reader", reader},
                                              {"bytes", QString("hex:" + zip.toHex())},
                                              {"success", false},
                                              {"output", output}};
        };
        // 16 MiB of zeros deflate about a thousandfold: a zip bomb's signature.
        refused("zip bomb", "docx", zipBytes({{"word/document.xml", QByteArray(16 << 20, '\0')}}),
                "Error: word/document.xml would expand over 200-fold, like a zip bomb; not "
                "reading it");
        // A header that claims more than the limit is refused before inflating.
        refused("declared too large", "xlsx",
                withDeclaredSize(zipBytes({{"xl/worksheets/sheet1.xml", worksheetXml({})}}),
                                 300u << 20),
                "Error: xl/worksheets/sheet1.xml is larger than 256 MB uncompressed; not reading "
                "it");
        // One that claims less than the member holds is caught while inflating.
        refused("declared too small", "docx",
                withDeclaredSize(zipBytes({{"word/document.xml", QByteArray(2 << 20, '<')}}), 1024),
                "Error: ");
        // Deeper than the parser goes: said in our words, not the parser's.
        refused(
            "nested too deeply", "docx",
            zipBytes({{"word/document.xml", wordDocumentXml(QByteArray("<a>").repeated(300) +
                                                            QByteArray("</a>").repeated(300))}}),
            "Error: word/document.xml is nested too deeply to read");
    }
    void packages() {
        QFETCH(QJsonObject, row);
        ZipEntries parts;
        if (row.contains("body")) {
            parts.append({"word/document.xml", wordDocumentXml(jsonBytes(row["body"]))});
        }
        if (row.contains("sheetData")) {
            parts.append({"xl/worksheets/sheet1.xml", worksheetXml(jsonBytes(row["sheetData"]))});
        }
        if (row.contains("shared")) {
            parts.append({"xl/sharedStrings.xml", sharedStringsXml(jsonBytes(row["shared"]))});
        }
        const QJsonObject raw = row["parts"].toObject();
        for (const QString& name : raw.keys()) {
            parts.append({name.toUtf8(), jsonBytes(raw[name])});
        }
        const QString path = m_dir.filePath(QTest::currentDataTag());
        QVERIFY(
            writeBytes(path, row.contains("bytes") ? jsonBytes(row["bytes"]) : zipBytes(parts)));
        const ToolOutcome outcome = row["reader"] == "docx" ? readDocx(path) : readXlsx(path);
        const QString expected = row["output"].toString();
        if (row["success"].toBool(true)) {
            QCOMPARE(outcome, answer(expected));
        } else {
            QVERIFY2(!outcome.success && outcome.output.startsWith(expected) &&
                         outcome.output.size() > 7,
                     qPrintable(outcome.output));
        }
    }

    // A long text repeated in many rows is legitimate, but what the model is
    // sent is cut like read_file's answer; a 7 KB file that would grow to
    // 2 GiB must not take the app down with it.
    void repeatedSharedStringsAreBounded() {
        const QByteArray text(1024 * 1024, 'x');
        const QByteArray row =
            "<row>" + QByteArray("<c t=\"s\"><v>0</v></c>").repeated(10) + "</row>";
        const auto amplified = [&](int rows) {
            const QString path = m_dir.filePath(QStringLiteral("amplified%1.xlsx").arg(rows));
            return writeZip(path, {{"xl/worksheets/sheet1.xml", worksheetXml(row.repeated(rows))},
                                   {"xl/sharedStrings.xml",
                                    sharedStringsXml("<si><t>" + text + "</t></si>")}})
                       ? readXlsx(path)
                       : ToolOutcome();
        };
        // Rows: 6, then six rows of ten cells of 1 MiB with tabs, joined by line breaks.
        const qint64 whole = 9 + 6 * (10 * text.size() + 9) + 5;
        const QString head = "Rows: 6\n\n" + QString(100000 - 9, 'x');
        QCOMPARE(amplified(6), answer(head + ReaderTexts::textTruncated(whole)));
        QCOMPARE(amplified(200), answer("Error: " + ReaderTexts::spreadsheetTooLarge(64), false));
    }

    // A page Poppler takes minutes over (one text run repeated 20,000 times)
    // ends at the time limit with the pages read before it; Stop ends it too.
    void slowPagesEndAtTheLimitOrOnStop() {
        const QString path = m_dir.filePath("slow.pdf");
        QVERIFY(writeBytes(path, twoPagePdf("BT /F1 10 Tf 20 700 Td (Quick page) Tj ET",
                                            QByteArray("BT /F1 10 Tf 20 700 Td (The quick brown "
                                                       "fox jumps) Tj ET\n")
                                                .repeated(20000))));
        QCOMPARE(readPdf(path, nullptr, std::chrono::seconds(1)),
                 answer(ReaderTexts::readingTookTooLong(path, 1) + "\n\nPDF: 2 pages\n\n" +
                            section(1, "Quick page"),
                        false));
        ToolStop stop;
        QFuture<ToolOutcome> stopped = QtConcurrent::run([&] { return readPdf(path, &stop); });
        stop.request();
        stopped.waitForFinished();
        QVERIFY2(stopped.result().output.startsWith(ReaderTexts::readingStopped(path)),
                 qPrintable(stopped.result().output));
    }

    void pagesInOrderWithoutEmptyOnes() {
        QCOMPARE(
            readPdf(textPdf("gap.pdf", {"Alpha one", QString(), "Charlie three"})),
            answer("PDF: 3 pages\n\n" + section(1, "Alpha one") + section(3, "Charlie three")));
        const QString scan = m_dir.filePath("scan.pdf");
        QVERIFY(writeTextPdf(scan, QStringList(4, "Scanned page"), {}, true));
        QCOMPARE(readPdf(scan).output, ReaderTexts::pdfWithoutText(4));
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
        const QString source = textPdf("secret-plain.pdf", {"Restricted"});
        const auto encrypted = [&](const QString& userPassword, const QString& path) {
            const QStringList how{"--encrypt", userPassword, "owner-pw", "256", "--", source, path};
            return runProgram("qpdf", how).exitCode == 0;
        };
        const QString locked = m_dir.filePath("locked.pdf");
        const QString ownerOnly = m_dir.filePath("owner-only.pdf");
        QVERIFY(encrypted("user-pw", locked) && encrypted("", ownerOnly));
        // Plain text is refused the same way (a row of tools/dispatch.json).
        QCOMPARE(readPdf(locked), answer("Cannot open PDF: " + locked, false));
        // Without a user password anyone may open it, so the text is read.
        QCOMPARE(readPdf(ownerOnly).output, "PDF: 1 pages\n\n" + section(1, "Restricted"));
    }
};

QTEST_MAIN(DocumentReadersTest)
#include "tst_document_readers.moc"
