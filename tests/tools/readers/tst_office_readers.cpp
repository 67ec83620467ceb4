// read_docx and read_xlsx on packages built with libzip, the ZIP member
// reader's limits, and a workbook written by create_xlsx read back.

#include "reader_fixtures.h"
#include "tools/readers/docx_reader.h"
#include "tools/readers/xlsx_reader.h"
#include "tools/readers/zip_reader.h"
#include "tools/writers/xlsx_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ToolOutcome success(const QString& output) {
    return {{}, true, output};
}
ToolOutcome failure(const QString& output) {
    return {{}, false, output};
}

// Sets the 32-bit little-endian field at `offset` after every occurrence of
// `signature` (the local header and the central directory entry of a
// one-member archive), the way a forged archive lies about sizes.
void patchField(QByteArray& zip, const QByteArray& signature, int offset, quint32 value) {
    for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 1)) {
        for (int byte = 0; byte < 4; ++byte) {
            zip[at + offset + byte] = char((value >> (8 * byte)) & 0xff);
        }
    }
}

QByteArray withDeclaredSize(QByteArray zip, quint32 size) {
    patchField(zip, QByteArray("PK\x03\x04", 4), 22, size);
    patchField(zip, QByteArray("PK\x01\x02", 4), 24, size);
    return zip;
}

} // namespace

class OfficeReadersTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const ZipEntries& entries) {
        const QString path = m_dir.filePath(name);
        return writeZip(path, entries) ? path : QString();
    }
    QString writeBytes(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path
                                                                                    : QString();
    }

private Q_SLOTS:
    void docxText_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two paragraphs") << QByteArray("<w:p><w:r><w:t>Hello</w:t></w:r></w:p>"
                                                      "<w:p><w:r><w:t>World</w:t></w:r></w:p>")
                                        << "Hello\nWorld";
        QTest::newRow("runs joined without spaces")
            << QByteArray("<w:p><w:r><w:t>Ember</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>glass</"
                          "w:t></w:r></w:p>")
            << "Emberglass";
        QTest::newRow("table cell once")
            << QByteArray("<w:tbl><w:tblPr/><w:tr><w:tc><w:tcPr/><w:p><w:r>"
                          "<w:t>A</w:t></w:r></w:p></w:tc></w:tr></w:tbl>")
            << "A";
        QTest::newRow("references decoded")
            << QByteArray("<w:p><w:r><w:t>R&amp;D &lt;3 &#x4E2D;&#25991;</w:t></w:r></w:p>")
            << "R&D <3 中文";
        QTest::newRow("spaces kept inside, trimmed outside")
            << QByteArray("<w:p><w:r><w:t xml:space=\"preserve\">  a </w:t></w:r><w:r><w:t "
                          "xml:space=\"preserve\"> b  "
                          "</w:t></w:r></w:p>")
            << "a  b";
        QTest::newRow("empty paragraphs give one break")
            << QByteArray("<w:p><w:r><w:t>x</w:t></w:r></w:p><w:p/><w:p><w:pPr/></"
                          "w:p><w:p><w:r><w:t>y</w:t>"
                          "</w:r></w:p>")
            << "x\ny";
        QTest::newRow("text outside w:t ignored")
            << QByteArray(
                   "<w:p><w:r><w:instrText>PAGE</w:instrText><w:tab/><w:t>z</w:t></w:r></w:p>")
            << "z";
        QTest::newRow("CDATA") << QByteArray("<w:p><w:r><w:t><![CDATA[a<b]]></w:t></w:r></w:p>")
                               << "a<b";
        QTest::newRow("UTF-8") << QByteArray("<w:p><w:r><w:t>你好，世界</w:t></w:r></w:p>")
                               << "你好，世界";
    }
    void docxText() {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        const QString path = write(QStringLiteral("t.docx"), docxPackage(wordDocumentXml(body)));
        QCOMPARE(readDocx(path), success(expected));
    }

    void docxElementsMatchedByNamespace() {
        // Another prefix for WordprocessingML is still w:t; a w prefix bound to
        // another namespace (here math) is not.
        const QByteArray document =
            "<?xml version=\"1.0\"?><x:document "
            "xmlns:x=\"http://schemas.openxmlformats.org/wordprocessingml/"
            "2006/main\" "
            "xmlns:w=\"http://schemas.openxmlformats.org/officeDocument/2006/math\"><x:body>"
            "<x:p><x:r><x:t>kept</x:t></x:r><w:r><w:t>dropped</w:t></w:r></x:p></x:body></"
            "x:document>";
        QCOMPARE(readDocx(write(QStringLiteral("ns.docx"), docxPackage(document))),
                 success("kept"));
    }

    void docxWithoutText() {
        const QString path =
            write(QStringLiteral("empty.docx"),
                  docxPackage(wordDocumentXml("<w:p/><w:p><w:r><w:t>  </w:t></w:r></w:p>")));
        QCOMPARE(readDocx(path), success("(DOCX has no text content)"));
    }

    void docxFailures() {
        const QString notDocx = QStringLiteral("Not a valid DOCX file (no word/document.xml)");
        QCOMPARE(readDocx(writeBytes(QStringLiteral("plain.docx"), "just some text\n")),
                 failure(notDocx));
        QCOMPARE(readDocx(writeBytes(QStringLiteral("zero.docx"), {})), failure(notDocx));
        QCOMPARE(readDocx(write(QStringLiteral("other.docx"), {{"word/other.xml", "<x/>"}})),
                 failure(notDocx));
        // Member names are exact.
        QCOMPARE(readDocx(write(QStringLiteral("case.docx"), {{"Word/Document.xml", "<x/>"}})),
                 failure(notDocx));

        const QString missing = m_dir.filePath(QStringLiteral("missing.docx"));
        QCOMPARE(readDocx(missing), failure("File not found: " + missing));

        const ToolOutcome damaged = readDocx(write(
            QStringLiteral("damaged.docx"), docxPackage(wordDocumentXml("<w:p><w:t>cut</w:p>"))));
        QVERIFY(!damaged.success);
        QVERIFY2(damaged.output.startsWith("Error: word/document.xml is not well-formed XML ("),
                 qPrintable(damaged.output));
        QVERIFY(damaged.output.contains("line 2"));

        // Bytes that are not UTF-8 in a part that says it is.
        const ToolOutcome badEncoding =
            readDocx(write(QStringLiteral("latin1.docx"),
                           docxPackage(wordDocumentXml("<w:p><w:t>caf\xe9</w:t></w:p>"))));
        QVERIFY(!badEncoding.success);
        QVERIFY(badEncoding.output.startsWith("Error: word/document.xml is not well-formed XML"));
    }

    void documentTypeDeclarationsAreRefused() {
        // "Billion laughs": ten levels of ten references would be 10^10
        // characters. Package parts may not declare a DTD at all.
        QByteArray dtd = "<!DOCTYPE w:document [<!ENTITY e0 \"lol\">";
        for (int level = 1; level <= 10; ++level) {
            dtd += "<!ENTITY e" + QByteArray::number(level) + " \"" +
                   QByteArray("&e" + QByteArray::number(level - 1) + ";").repeated(10) + "\">";
        }
        dtd += "]>";
        const QByteArray document = wordDocumentXml("<w:p><w:r><w:t>&e10;</w:t></w:r></w:p>")
                                        .replace("<w:document ", dtd + "<w:document ");
        QCOMPARE(readDocx(write(QStringLiteral("laughs.docx"), docxPackage(document))),
                 failure("Error: word/document.xml declares a DTD, which package parts may not "
                         "have; not reading it"));

        const QByteArray strings = "<!DOCTYPE sst><sst><si><t>a</t></si></sst>";
        const QByteArray sheet = worksheetXml("<row><c t=\"s\"><v>0</v></c></row>");
        QCOMPARE(readXlsx(write(QStringLiteral("dtd.xlsx"), xlsxPackage(sheet, strings))),
                 failure("Error: xl/sharedStrings.xml declares a DTD, which package parts may "
                         "not have; not reading it"));
    }

    void repeatedSharedStringsAreBounded_data() {
        QTest::addColumn<int>("references");
        QTest::addColumn<bool>("readable");
        // A long text repeated in many rows is legitimate...
        QTest::newRow("10 MiB of cells") << 10 << true;
        // ...a 7 KB file that would grow to 2 GiB is not, and must not take
        // the app down with it.
        QTest::newRow("2 GiB of cells") << 2000 << false;
    }
    void repeatedSharedStringsAreBounded() {
        QFETCH(int, references);
        QFETCH(bool, readable);
        const QByteArray text(1024 * 1024, 'x');
        const QByteArray row =
            "<row>" + QByteArray("<c t=\"s\"><v>0</v></c>").repeated(10) + "</row>";
        const QString path = write(QStringLiteral("amplified.xlsx"),
                                   xlsxPackage(worksheetXml(row.repeated(references / 10)),
                                               sharedStringsXml("<si><t>" + text + "</t></si>")));
        QVERIFY(QFileInfo(path).size() < 16 * 1024);
        const ToolOutcome outcome = readXlsx(path);
        if (readable) {
            QVERIFY(outcome.success);
            QCOMPARE(outcome.output.size(),
                     QStringLiteral("Rows: %1\n\n").arg(references / 10).size() +
                         references * (text.size() + 1) - 1);
        } else {
            QCOMPARE(outcome, failure("Error: Spreadsheet too large to read: its cells hold more "
                                      "than 64 MiB of text"));
        }
    }

    void pathsAreTildeExpandedAndQuotedAsGiven() {
        QVERIFY(writeZip(QDir::home().filePath(QStringLiteral("home.docx")),
                         docxPackage(wordDocumentXml("<w:p><w:r><w:t>at home</w:t></w:r></w:p>"))));
        QCOMPARE(readDocx(QStringLiteral("~/home.docx")), success("at home"));
        QCOMPARE(readXlsx(QStringLiteral("~/nothing.xlsx")),
                 failure("File not found: ~/nothing.xlsx"));
        QFile::remove(QDir::home().filePath(QStringLiteral("home.docx")));
    }

    void xlsxCells_data() {
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<QByteArray>("sharedItems");
        QTest::addColumn<QString>("expected");
        QTest::newRow("header and row")
            << QByteArray(
                   "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" "
                   "t=\"s\"><v>1</v></c></row>"
                   "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>2</v></c><c r=\"B2\"><v>42</v></c></row>")
            << QByteArray("<si><t>Name</t></si><si><t>Age</t></si><si><t>Bob</t></si>")
            << "Rows: 2\n\nName\tAge\nBob\t42";
        QTest::newRow("rich text is one entry")
            << QByteArray("<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c></row>")
            << QByteArray("<si><r><t>Hel</t></r><r><rPr><b/></rPr><t>lo</t></r></si><si><t>second</"
                          "t></si>")
            << "Rows: 1\n\nHello\tsecond";
        QTest::newRow("phonetic runs left out")
            << QByteArray("<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c></row>")
            << QByteArray("<si><r><t>東京</t></r><rPh sb=\"0\" "
                          "eb=\"2\"><t>トウキョウ</t></rPh><phoneticPr fontId=\"1\"/>"
                          "</si><si><t>next</t></si>")
            << "Rows: 1\n\n東京\tnext";
        QTest::newRow("empty entry keeps its place")
            << QByteArray("<row><c t=\"s\"><v>1</v></c><c t=\"s\"><v>0</v></c></row>")
            << QByteArray("<si><t/></si><si><t>one</t></si>") << "Rows: 1\n\none\t";
        QTest::newRow("index out of range or malformed is shown raw")
            << QByteArray(
                   "<row><c t=\"s\"><v>99</v></c><c t=\"s\"><v>-1</v></c><c t=\"s\"><v>+1</v></c>"
                   "<c t=\"s\"><v>1.0</v></c><c t=\"s\"><v>99999999999999999999</v></c></row>")
            << QByteArray("<si><t>a</t></si><si><t>b</t></si><si><t>c</t></si>")
            << "Rows: 1\n\n99\t-1\tb\t1.0\t99999999999999999999";
        QTest::newRow("number cells are not looked up")
            << QByteArray(
                   "<row><c><v>0</v></c><c t=\"n\"><v>1</v></c><c t=\"s\"><v>0</v></c></row>")
            << QByteArray("<si><t>text</t></si>") << "Rows: 1\n\n0\t1\ttext";
        QTest::newRow("empty rows and cells without value skipped")
            << QByteArray("<row r=\"1\"/><row r=\"2\"><c r=\"A2\" s=\"1\"/></row><row r=\"3\"><c "
                          "r=\"A3\"/>"
                          "<c r=\"B3\"><v>7</v></c></row>")
            << QByteArray() << "Rows: 1\n\n7";
        QTest::newRow("inline strings")
            << QByteArray("<row><c t=\"inlineStr\"><is><t>R&amp;D</t></is></c><c "
                          "t=\"inlineStr\"><is><r><t>a</t>"
                          "</r><r><t>b</t></r></is></c><c><v>3.5</v></c></row>")
            << QByteArray() << "Rows: 1\n\nR&D\tab\t3.5";
        QTest::newRow("formula shows its cached value")
            << QByteArray(
                   "<row><c><f>1+1</f><v>2</v></c><c t=\"str\"><f>\"x\"&amp;\"y\"</f><v>xy</v></c>"
                   "<c t=\"b\"><v>1</v></c><c t=\"e\"><v>#DIV/0!</v></c></row>")
            << QByteArray() << "Rows: 1\n\n2\txy\t1\t#DIV/0!";
        QTest::newRow("references decoded in shared strings")
            << QByteArray("<row><c t=\"s\"><v>0</v></c></row>")
            << QByteArray("<si><t>a &lt; b &amp; c</t></si>") << "Rows: 1\n\na < b & c";
        QTest::newRow("no rows") << QByteArray() << QByteArray() << "(Spreadsheet is empty)";
    }
    void xlsxCells() {
        QFETCH(QByteArray, sheetData);
        QFETCH(QByteArray, sharedItems);
        QFETCH(QString, expected);
        const QByteArray shared =
            sharedItems.isEmpty() ? QByteArray() : sharedStringsXml(sharedItems);
        const QString path =
            write(QStringLiteral("t.xlsx"), xlsxPackage(worksheetXml(sheetData), shared));
        QCOMPARE(readXlsx(path), success(expected));
    }

    void xlsxPrefixedNamespace() {
        // The Open XML SDK writes x:-prefixed SpreadsheetML.
        const QByteArray sheet =
            "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<x:sheetData><x:row><x:c t=\"s\"><x:v>0</x:v></x:c><x:c><x:v>5</x:v></x:c></x:row>"
            "</x:sheetData></x:worksheet>";
        const QByteArray shared =
            "<x:sst xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<x:si><x:t>five</x:t></x:si></x:sst>";
        QCOMPARE(readXlsx(write(QStringLiteral("x.xlsx"), xlsxPackage(sheet, shared))),
                 success("Rows: 1\n\nfive\t5"));
    }

    void xlsxFailures() {
        const QString notXlsx = QStringLiteral("Not a valid XLSX or no sheet1");
        const QByteArray sheet = worksheetXml("<row><c><v>1</v></c></row>");
        QCOMPARE(readXlsx(write(QStringLiteral("s23.xlsx"), {{"xl/worksheets/sheet2.xml", sheet},
                                                             {"xl/worksheets/sheet3.xml", sheet}})),
                 failure(notXlsx));
        QCOMPARE(readXlsx(writeBytes(QStringLiteral("plain.xlsx"), "a,b\n1,2\n")),
                 failure(notXlsx));

        const ToolOutcome damagedStrings = readXlsx(write(
            QStringLiteral("ds.xlsx"), xlsxPackage(sheet, sharedStringsXml("<si><t>open</si>"))));
        QVERIFY(!damagedStrings.success);
        QVERIFY2(
            damagedStrings.output.startsWith("Error: xl/sharedStrings.xml is not well-formed XML"),
            qPrintable(damagedStrings.output));

        QCOMPARE(readXlsx(write(QStringLiteral("empty.xlsx"), {{"xl/worksheets/sheet1.xml", {}}})),
                 failure("Error: xl/worksheets/sheet1.xml is not well-formed XML (the part is "
                         "empty)"));

        const ToolOutcome damagedSheet = readXlsx(
            write(QStringLiteral("dsh.xlsx"), xlsxPackage(worksheetXml("<row><c><v>1</c></row>"))));
        QVERIFY(!damagedSheet.success);
        QVERIFY(damagedSheet.output.startsWith(
            "Error: xl/worksheets/sheet1.xml is not well-formed XML"));
    }

    void workbookWrittenByCreateXlsxReadsBack() {
        const QString path = m_dir.filePath(QStringLiteral("created.xlsx"));
        const QString data = QStringLiteral(R"([["Name","Note"],["Bob","R&D <lab>"],["","42"]])");
        QVERIFY2(createXlsx(path, data).success, qPrintable(createXlsx(path, data).output));
        // Whether create_xlsx stores 42 as a number or a string, it reads as 42.
        QCOMPARE(readXlsx(path), success("Rows: 3\n\nName\tNote\nBob\tR&D <lab>\n\t42"));
    }

    void oversizedMembersAreRefused() {
        // 16 MiB of zeros deflate about a thousandfold: a zip bomb's signature.
        const QByteArray zeros(16 * 1024 * 1024, '\0');
        const ToolOutcome bomb =
            readDocx(write(QStringLiteral("bomb.docx"), {{"word/document.xml", zeros}}));
        QCOMPARE(bomb, failure("Error: word/document.xml would expand over 200-fold, like a zip "
                               "bomb; not reading it"));

        // A header that claims more than the limit is refused before inflating.
        const QByteArray small = zipBytes({{"xl/worksheets/sheet1.xml", worksheetXml({})}});
        const QString huge =
            writeBytes(QStringLiteral("huge.xlsx"), withDeclaredSize(small, 300u * 1024 * 1024));
        QCOMPARE(readXlsx(huge), failure("Error: xl/worksheets/sheet1.xml is larger than 256 MB "
                                         "uncompressed; not reading it"));

        // A header that claims less than the member holds is caught while inflating.
        const QByteArray fullZip =
            zipBytes({{"word/document.xml", QByteArray(2 * 1024 * 1024, '<')}});
        const QString lying =
            writeBytes(QStringLiteral("lying.docx"), withDeclaredSize(fullZip, 1024));
        const ToolOutcome lied = readDocx(lying);
        QVERIFY(!lied.success);
        QVERIFY2(lied.output.startsWith("Error: "), qPrintable(lied.output));
    }

    void readerFromMemory() {
        const ZipReader archive = ZipReader::openBytes(
            zipBytes({{"a.xml", "<a/>"}, {"dir/b.xml", QByteArray(100000, 'b')}}));
        QVERIFY(archive.openError().isEmpty());
        QCOMPARE(archive.read("a.xml").bytes, QByteArray("<a/>"));
        QCOMPARE(archive.read("dir/b.xml").bytes, QByteArray(100000, 'b'));
        QCOMPARE(archive.read("b.xml").status, ZipMember::Status::Missing);

        const ZipReader garbage = ZipReader::openBytes("PK\x03\x04 not really");
        QVERIFY(garbage.openError().isEmpty());
        QCOMPARE(garbage.read("a.xml").status, ZipMember::Status::Missing);
    }

    void directoryIsAnError() {
        const ToolOutcome outcome = readDocx(m_dir.path());
        QVERIFY(!outcome.success);
        QVERIFY2(outcome.output.startsWith("Error: "), qPrintable(outcome.output));
    }
};

QTEST_GUILESS_MAIN(OfficeReadersTest)
#include "tst_office_readers.moc"
