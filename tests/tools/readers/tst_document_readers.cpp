// read_docx and read_xlsx on packages built with libzip, and read_pdf on PDFs
// drawn with QPdfWriter (and locked with qpdf): the text they find, their
// limits, and the files they refuse.

#include "office_files.h"
#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/readers/docx_reader.h"
#include "tools/readers/pdf_reader.h"
#include "tools/readers/xlsx_reader.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ToolOutcome success(const QString& output) {
    return {{}, true, output};
}
ToolOutcome failure(const QString& output) {
    return {{}, false, output};
}

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

QString section(int page, const QString& text) {
    return QStringLiteral("--- Page %1 ---\n%2\n\n").arg(page).arg(text);
}

} // namespace

class DocumentReadersTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const ZipEntries& entries) {
        const QString path = m_dir.filePath(name);
        return writeZip(path, entries) ? path : QString();
    }

    QString textPdf(const QString& name, const QStringList& pages, const QString& family = {}) {
        const QString path = m_dir.filePath(name);
        return writeTextPdf(path, pages, family) ? path : QString();
    }

private Q_SLOTS:
    void docxText_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const char* body, const char* expected) {
            QTest::newRow(tag) << QByteArray(body) << QString(expected);
        };
        // Runs join without spaces, empty paragraphs give one break, a table cell
        // is read once.
        row("structure",
            "<w:p><w:r><w:t>Ember</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>glass</w:t></w:r>"
            "</w:p><w:p/><w:p><w:pPr/></w:p><w:tbl><w:tblPr/><w:tr><w:tc><w:tcPr/><w:p><w:r>"
            "<w:t>A</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p><w:r><w:t>World</w:t></w:r></w:p>",
            "Emberglass\nA\nWorld");
        // References and CDATA decoded, text outside w:t ignored.
        row("text",
            "<w:p><w:r><w:instrText>PAGE</w:instrText><w:tab/><w:t>R&amp;D &lt;3 &#x4E2D;&#25991;"
            "</w:t><w:t><![CDATA[ a<b]]></w:t></w:r></w:p>",
            "R&D <3 中文 a<b");
        row("spaces kept inside, trimmed outside",
            R"(<w:p><w:r><w:t xml:space="preserve">  a </w:t></w:r><w:r><w:t xml:space="preserve"> b  </w:t></w:r></w:p>)",
            "a  b");
        row("no text", "<w:p/><w:p><w:r><w:t>  </w:t></w:r></w:p>", "(DOCX has no text content)");
    }
    void docxText() {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QCOMPARE(readDocx(write("t.docx", docxPackage(wordDocumentXml(body)))), success(expected));
    }

    void docxElementsMatchedByNamespace() {
        // Another prefix for WordprocessingML is still w:t; a w prefix bound to
        // another namespace (here math) is not.
        const QByteArray document =
            "<?xml version=\"1.0\"?><x:document "
            "xmlns:x=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
            "xmlns:w=\"http://schemas.openxmlformats.org/officeDocument/2006/math\"><x:body>"
            "<x:p><x:r><x:t>kept</x:t></x:r><w:r><w:t>dropped</w:t></w:r></x:p></x:body>"
            "</x:document>";
        QCOMPARE(readDocx(write("ns.docx", docxPackage(document))), success("kept"));
    }

    // A refused file never takes the app down: what is not a package, a part
    // that is not well-formed, a DTD ("billion laughs": ten levels of ten
    // references would be 10^10 characters), a zip bomb, and sizes a forged
    // header lies about.
    void refusedFiles_data() {
        QTest::addColumn<bool>("docx");
        QTest::addColumn<QByteArray>("file");  // null: no file
        QTest::addColumn<QString>("expected"); // the answer's beginning
        const QString notDocx = "Not a valid DOCX file (no word/document.xml)";
        const QString notXlsx = "Not a valid XLSX or no sheet1";
        const QString notWellFormed = "Error: %1 is not well-formed XML";
        const QString hasDtd = "Error: %1 declares a DTD, which package parts may not have; not "
                               "reading it";
        const QByteArray sheet = worksheetXml("<row><c><v>1</v></c></row>");
        QByteArray dtd = "<!DOCTYPE w:document [<!ENTITY e0 \"lol\">";
        for (int level = 1; level <= 10; ++level) {
            dtd += "<!ENTITY e" + QByteArray::number(level) + " \"" +
                   QByteArray("&e" + QByteArray::number(level - 1) + ";").repeated(10) + "\">";
        }
        const auto docx = [](const QByteArray& body) {
            return zipBytes(docxPackage(wordDocumentXml(body)));
        };
        const QList<std::tuple<const char*, bool, QByteArray, QString>> rows{
            {"text as docx", true, "just some text\n", notDocx},
            {"empty docx", true, "", notDocx},
            {"no document part", true, zipBytes({{"word/other.xml", "<x/>"}}), notDocx},
            {"member names are exact", true, zipBytes({{"Word/Document.xml", "<x/>"}}), notDocx},
            {"missing docx", true, QByteArray(), "File not found: "},
            {"damaged docx", true, docx("<w:p><w:t>cut</w:p>"),
             notWellFormed.arg("word/document.xml") + " ("},
            // Bytes that are not UTF-8 in a part that says it is.
            {"latin-1 docx", true, docx("<w:p><w:t>caf\xe9</w:t></w:p>"),
             notWellFormed.arg("word/document.xml")},
            {"billion laughs", true,
             zipBytes(docxPackage(wordDocumentXml("<w:p><w:r><w:t>&e10;</w:t></w:r></w:p>")
                                      .replace("<w:document ", dtd + "]><w:document "))),
             hasDtd.arg("word/document.xml")},
            {"DTD in shared strings", false,
             zipBytes(xlsxPackage(sheet, "<!DOCTYPE sst><sst><si><t>a</t></si></sst>")),
             hasDtd.arg("xl/sharedStrings.xml")},
            {"no sheet1", false,
             zipBytes({{"xl/worksheets/sheet2.xml", sheet}, {"xl/worksheets/sheet3.xml", sheet}}),
             notXlsx},
            {"csv as xlsx", false, "a,b\n1,2\n", notXlsx},
            {"empty sheet part", false, zipBytes({{"xl/worksheets/sheet1.xml", {}}}),
             notWellFormed.arg("xl/worksheets/sheet1.xml") + " (the part is empty)"},
            {"damaged shared strings", false,
             zipBytes(xlsxPackage(sheet, sharedStringsXml("<si><t>open</si>"))),
             notWellFormed.arg("xl/sharedStrings.xml")},
            {"damaged sheet", false, zipBytes(xlsxPackage(worksheetXml("<row><c><v>1</c></row>"))),
             notWellFormed.arg("xl/worksheets/sheet1.xml")},
            // 16 MiB of zeros deflate about a thousandfold: a zip bomb's signature.
            {"zip bomb", true, zipBytes({{"word/document.xml", QByteArray(16 << 20, '\0')}}),
             "Error: word/document.xml would expand over 200-fold, like a zip bomb; not reading "
             "it"},
            // A header that claims more than the limit is refused before inflating.
            {"declared too large", false,
             withDeclaredSize(zipBytes({{"xl/worksheets/sheet1.xml", worksheetXml({})}}),
                              300u << 20),
             "Error: xl/worksheets/sheet1.xml is larger than 256 MB uncompressed; not reading it"},
            // One that claims less than the member holds is caught while inflating.
            {"declared too small", true,
             withDeclaredSize(zipBytes({{"word/document.xml", QByteArray(2 << 20, '<')}}), 1024),
             "Error: "}};
        for (const auto& [tag, isDocx, file, expected] : rows) {
            QTest::newRow(tag) << isDocx << file << expected;
        }
    }
    void refusedFiles() {
        QFETCH(bool, docx);
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        const QString path = m_dir.filePath(QTest::currentDataTag());
        QVERIFY(file.isNull() || writeBytes(path, file));
        const ToolOutcome outcome = docx ? readDocx(path) : readXlsx(path);
        QVERIFY2(!outcome.success && outcome.output.startsWith(expected) &&
                     outcome.output.size() > 7,
                 qPrintable(outcome.output));
    }

    // A long text repeated in many rows is legitimate; a 7 KB file that would
    // grow to 2 GiB is not, and must not take the app down with it.
    void repeatedSharedStringsAreBounded() {
        const QByteArray text(1024 * 1024, 'x');
        const QByteArray row =
            "<row>" + QByteArray("<c t=\"s\"><v>0</v></c>").repeated(10) + "</row>";
        const auto amplified = [&](int rows) {
            const QString path = m_dir.filePath(QStringLiteral("amplified%1.xlsx").arg(rows));
            return writeZip(path, xlsxPackage(worksheetXml(row.repeated(rows)),
                                              sharedStringsXml("<si><t>" + text + "</t></si>")))
                       ? readXlsx(path)
                       : ToolOutcome();
        };
        QCOMPARE(amplified(1).output.size(),
                 QString("Rows: 1\n\n").size() + 10 * (text.size() + 1) - 1);
        QCOMPARE(amplified(200), failure("Error: Spreadsheet too large to read: its cells hold "
                                         "more than 64 MiB of text"));
    }

    void xlsxCells_data() {
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<QByteArray>("sharedItems");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const char* sheet, const char* shared,
                            const char* text) {
            QTest::newRow(tag) << QByteArray(sheet) << QByteArray(shared) << QString(text);
        };
        row("header and row",
            R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>)"
            R"(<row r="2"><c r="A2" t="s"><v>2</v></c><c r="B2"><v>42</v></c></row>)",
            "<si><t>Name</t></si><si><t>Age</t></si><si><t>Bob</t></si>",
            "Rows: 2\n\nName\tAge\nBob\t42");
        // A rich text is one entry, phonetic runs are left out, an empty entry
        // keeps its place.
        row("shared string entries",
            R"(<row><c t="s"><v>0</v></c><c t="s"><v>1</v></c><c t="s"><v>2</v></c></row>)",
            R"(<si><r><t>Hel</t></r><r><rPr><b/></rPr><t>lo</t></r></si><si><t/></si>)"
            R"(<si><r><t>東京</t></r><rPh sb="0" eb="2"><t>トウキョウ</t></rPh><phoneticPr fontId="1"/></si>)",
            "Rows: 1\n\nHello\t\t東京");
        row("index out of range or malformed is shown raw",
            R"(<row><c t="s"><v>99</v></c><c t="s"><v>-1</v></c><c t="s"><v>+1</v></c>)"
            R"(<c t="s"><v>1.0</v></c><c t="s"><v>99999999999999999999</v></c></row>)",
            "<si><t>a</t></si><si><t>b</t></si><si><t>c</t></si>",
            "Rows: 1\n\n99\t-1\tb\t1.0\t99999999999999999999");
        row("number cells are not looked up",
            R"(<row><c><v>0</v></c><c t="n"><v>1</v></c><c t="s"><v>0</v></c></row>)",
            "<si><t>text</t></si>", "Rows: 1\n\n0\t1\ttext");
        row("empty rows and cells without value skipped",
            R"(<row r="1"/><row r="2"><c r="A2" s="1"/></row><row r="3"><c r="A3"/><c r="B3"><v>7</v></c></row>)",
            "", "Rows: 1\n\n7");
        row("inline strings",
            R"(<row><c t="inlineStr"><is><t>R&amp;D</t></is></c><c t="inlineStr"><is><r><t>a</t></r><r><t>b</t></r></is></c><c><v>3.5</v></c></row>)",
            "", "Rows: 1\n\nR&D\tab\t3.5");
        row("formula shows its cached value",
            R"(<row><c><f>1+1</f><v>2</v></c><c t="str"><f>"x"&amp;"y"</f><v>xy</v></c>)"
            R"(<c t="b"><v>1</v></c><c t="e"><v>#DIV/0!</v></c></row>)",
            "", "Rows: 1\n\n2\txy\t1\t#DIV/0!");
        row("no rows", "", "", "(Spreadsheet is empty)");
    }
    void xlsxCells() {
        QFETCH(QByteArray, sheetData);
        QFETCH(QByteArray, sharedItems);
        QFETCH(QString, expected);
        const QByteArray shared =
            sharedItems.isEmpty() ? QByteArray() : sharedStringsXml(sharedItems);
        QCOMPARE(readXlsx(write("t.xlsx", xlsxPackage(worksheetXml(sheetData), shared))),
                 success(expected));
    }

    void xlsxPrefixedNamespace() {
        // The Open XML SDK writes x:-prefixed SpreadsheetML.
        const QByteArray ns =
            R"(xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
        const QByteArray sheet = "<x:worksheet " + ns +
                                 R"(><x:sheetData><x:row><x:c t="s"><x:v>0</x:v></x:c><x:c>)"
                                 "<x:v>5</x:v></x:c></x:row></x:sheetData></x:worksheet>";
        const QByteArray shared = "<x:sst " + ns + "><x:si><x:t>five</x:t></x:si></x:sst>";
        QCOMPARE(readXlsx(write("x.xlsx", xlsxPackage(sheet, shared))),
                 success("Rows: 1\n\nfive\t5"));
    }

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

QTEST_MAIN(DocumentReadersTest)
#include "tst_document_readers.moc"
