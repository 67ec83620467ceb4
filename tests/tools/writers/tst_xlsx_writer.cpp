// create_xlsx: cell references, which texts become numbers, the worksheet XML,
// messages, schema validity, and openpyxl reading every value back.

#include "tools/writers/spreadsheet_cells.h"
#include "tools/writers/xlsx_writer.h"
#include "writer_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <cmath>

using namespace WriterTests;
using namespace SpreadsheetCells;

namespace {

QString dataJson(const QList<QStringList>& rows) {
    QJsonArray array;
    for (const QStringList& row : rows) {
        array.append(QJsonArray::fromStringList(row));
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

// Reads the first sheet with openpyxl: one JSON row per sheet row, each cell as
// [type name, value].
const char openpyxlDump[] = R"(
import json, math, sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
def cell(v):
    if isinstance(v, float) and not math.isfinite(v):
        return [type(v).__name__, repr(v)]
    return [type(v).__name__, v]
print(json.dumps([[cell(c.value) for c in row] for row in sheet.iter_rows()]))
)";

} // namespace

class XlsxWriterTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QByteArray sheetOf(const QList<QStringList>& rows) {
        const QString path = dir.filePath(QStringLiteral("sheet.xlsx"));
        if (!createXlsx(path, dataJson(rows)).success) {
            return {};
        }
        return entryData(readZip(path), QStringLiteral("xl/worksheets/sheet1.xml"));
    }

private Q_SLOTS:
    void columnLettersAreBijectiveBase26_data() {
        QTest::addColumn<qsizetype>("column");
        QTest::addColumn<QString>("letters");
        QTest::newRow("first") << qsizetype(0) << QStringLiteral("A");
        QTest::newRow("last single") << qsizetype(25) << QStringLiteral("Z");
        QTest::newRow("first double") << qsizetype(26) << QStringLiteral("AA");
        QTest::newRow("second double") << qsizetype(27) << QStringLiteral("AB");
        QTest::newRow("AZ to BA") << qsizetype(52) << QStringLiteral("BA");
        QTest::newRow("last double") << qsizetype(701) << QStringLiteral("ZZ");
        QTest::newRow("first triple") << qsizetype(702) << QStringLiteral("AAA");
        QTest::newRow("spreadsheet limit") << qsizetype(16383) << QStringLiteral("XFD");
        QTest::newRow("last triple") << qsizetype(18277) << QStringLiteral("ZZZ");
        QTest::newRow("first quadruple") << qsizetype(18278) << QStringLiteral("AAAA");
    }
    void columnLettersAreBijectiveBase26() {
        QFETCH(qsizetype, column);
        QFETCH(QString, letters);
        QCOMPARE(columnLetters(column), letters);
    }

    void numberTestFollowsStrtod_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<bool>("numericCell");
        QTest::newRow("leading zeros") << QStringLiteral("007") << true << true;
        QTest::newRow("exponent") << QStringLiteral("1e3") << true << true;
        QTest::newRow("capital exponent, signs") << QStringLiteral("-1.5E-3") << true << true;
        QTest::newRow("negative decimal") << QStringLiteral("-2.5") << true << true;
        QTest::newRow("plus sign") << QStringLiteral("+5") << true << true;
        QTest::newRow("bare fraction") << QStringLiteral(".5") << true << true;
        QTest::newRow("trailing point") << QStringLiteral("5.") << true << true;
        QTest::newRow("decimal comma") << QStringLiteral("1,5") << false << false;
        QTest::newRow("percent") << QStringLiteral("12%") << false << false;
        QTest::newRow("leading space") << QStringLiteral(" 42") << false << false;
        QTest::newRow("leading tab") << QStringLiteral("\t42") << false << false;
        QTest::newRow("leading NUL") << QStringLiteral("\u00004") << false << false;
        QTest::newRow("trailing space") << QStringLiteral("42 ") << false << false;
        QTest::newRow("embedded NUL") << QStringLiteral("4\u00002") << false << false;
        QTest::newRow("thousands") << QStringLiteral("1,000") << false << false;
        QTest::newRow("empty") << QString() << false << false;
        QTest::newRow("sign only") << QStringLiteral("-") << false << false;
        QTest::newRow("dangling exponent") << QStringLiteral("1e") << false << false;
        QTest::newRow("words") << QStringLiteral("Bob") << false << false;
        QTest::newRow("full-width digits") << QStringLiteral("４２") << false << false;
        // strtod reads these, but <v> must be an xsd:double: they stay text.
        QTest::newRow("inf") << QStringLiteral("inf") << true << false;
        QTest::newRow("Infinity") << QStringLiteral("-Infinity") << true << false;
        QTest::newRow("NaN") << QStringLiteral("NaN") << true << false;
        QTest::newRow("nan payload") << QStringLiteral("nan(12)") << true << false;
        QTest::newRow("hex float") << QStringLiteral("0x1p3") << true << false;
        QTest::newRow("hex integer") << QStringLiteral("0X1A") << true << false;
        QTest::newRow("hex without digits") << QStringLiteral("0x") << false << false;
    }
    void numberTestFollowsStrtod() {
        QFETCH(QString, text);
        QFETCH(bool, parses);
        QFETCH(bool, numericCell);
        QCOMPARE(parsesAsNumber(text), parses);
        QCOMPARE(isNumericCell(text), numericCell);
    }

    void numberTestIgnoresTheProcessLocale() {
        // Under a decimal-comma locale strtod would accept 1,5 and refuse 2.5.
        const QByteArray previous = setlocale(LC_NUMERIC, nullptr);
        if (setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
            setlocale(LC_NUMERIC, "de_DE") == nullptr) {
            QSKIP("no German locale installed");
        }
        const bool comma = parsesAsNumber(QStringLiteral("1,5"));
        const bool point = parsesAsNumber(QStringLiteral("2.5"));
        setlocale(LC_NUMERIC, previous.constData());
        QVERIFY(!comma);
        QVERIFY(point);
    }

    void headerAndRowCells() {
        const QString path = dir.filePath(QStringLiteral("people.xlsx"));
        QCOMPARE(createXlsx(path, dataJson({{QStringLiteral("Name"), QStringLiteral("Age")},
                                            {QStringLiteral("Bob"), QStringLiteral("42")}})),
                 (ToolOutcome{QStringLiteral("create_xlsx"), true,
                              QStringLiteral("Created XLSX with 2 rows at ") + path}));
        const QByteArray sheet =
            entryData(readZip(path), QStringLiteral("xl/worksheets/sheet1.xml"));
        QVERIFY(sheet.contains(
            R"(<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>Name</t></is></c>)"
            R"(<c r="B1" t="inlineStr"><is><t>Age</t></is></c></row>)"
            "\n"
            R"(<row r="2"><c r="A2" t="inlineStr"><is><t>Bob</t></is></c><c r="B2"><v>42</v></c></row>)"
            "\n</sheetData></worksheet>"));
    }

    void cellsAreWrittenByKind_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("cell");
        QTest::newRow("leading zeros")
            << QStringLiteral("007") << QByteArray(R"(<c r="A1"><v>007</v></c>)");
        QTest::newRow("exponent") << QStringLiteral("1e3")
                                  << QByteArray(R"(<c r="A1"><v>1e3</v></c>)");
        QTest::newRow("decimal comma")
            << QStringLiteral("1,5")
            << QByteArray(R"(<c r="A1" t="inlineStr"><is><t>1,5</t></is></c>)");
        QTest::newRow("percent") << QStringLiteral("12%")
                                 << QByteArray(
                                        R"(<c r="A1" t="inlineStr"><is><t>12%</t></is></c>)");
        QTest::newRow("leading space")
            << QStringLiteral(" 42")
            << QByteArray(R"(<c r="A1" t="inlineStr"><is><t> 42</t></is></c>)");
        QTest::newRow("empty") << QString()
                               << QByteArray(R"(<c r="A1" t="inlineStr"><is><t></t></is></c>)");
        QTest::newRow("escaped")
            << QStringLiteral("Tom & Jerry")
            << QByteArray(R"(<c r="A1" t="inlineStr"><is><t>Tom &amp; Jerry</t></is></c>)");
        QTest::newRow("markup and quotes")
            << QStringLiteral("<b>\"x\"'")
            << QByteArray(
                   R"(<c r="A1" t="inlineStr"><is><t>&lt;b&gt;&quot;x&quot;&apos;</t></is></c>)");
        QTest::newRow("inf stays text")
            << QStringLiteral("inf")
            << QByteArray(R"(<c r="A1" t="inlineStr"><is><t>inf</t></is></c>)");
    }
    void cellsAreWrittenByKind() {
        QFETCH(QString, text);
        QFETCH(QByteArray, cell);
        QCOMPARE(elementTexts(sheetOf({{text}}), "row"), QList<QByteArray>{cell});
    }

    void wideRowsAndRaggedRows() {
        QStringList wide;
        for (int i = 0; i < 28; ++i) {
            wide.append(QStringLiteral("c%1").arg(i));
        }
        const QByteArray sheet = sheetOf({wide, {}, {QStringLiteral("x")}});
        const QList<QByteArray> rows = elementTexts(sheet, "row");
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].count("<c "), 28);
        QVERIFY(rows[0].endsWith(R"(<c r="AA1" t="inlineStr"><is><t>c26</t></is></c>)"
                                 R"(<c r="AB1" t="inlineStr"><is><t>c27</t></is></c>)"));
        QVERIFY(sheet.contains("<row r=\"2\"></row>\n<row r=\"3\"><c r=\"A3\""));
    }

    void badDataIsRefused_data() {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral(
            R"(Invalid data JSON. Expected: [["header1","header2"],["val1","val2"],...])");
        QTest::newRow("numbers") << QStringLiteral("[[1,2]]") << invalid;
        QTest::newRow("null cell") << QStringLiteral(R"([["a",null]])") << invalid;
        QTest::newRow("flat row") << QStringLiteral(R"(["a","b"])") << invalid;
        QTest::newRow("object") << QStringLiteral("{}") << invalid;
        QTest::newRow("not JSON") << QStringLiteral("[[\"a\"") << invalid;
        QTest::newRow("late bad row") << QStringLiteral(R"([["a"],["b"],[true]])") << invalid;
        QTest::newRow("empty") << QStringLiteral("[]") << QStringLiteral("No data provided");
    }
    void badDataIsRefused() {
        QFETCH(QString, data);
        QFETCH(QString, message);
        const QString path = dir.filePath(QStringLiteral("refused.xlsx"));
        QCOMPARE(createXlsx(path, data),
                 (ToolOutcome{QStringLiteral("create_xlsx"), false, message}));
        QVERIFY(!QFile::exists(path));
    }

    void everyPartValidatesAgainstTheSchemas() {
        const QString path = dir.filePath(QStringLiteral("valid.xlsx"));
        QVERIFY(
            createXlsx(path, dataJson({{QStringLiteral("A & B"), QStringLiteral("1e3"), QString(),
                                        QStringLiteral("nan"), QStringLiteral("文字")},
                                       {},
                                       {QStringLiteral("-0.5")}}))
                .success);
        const QList<ZipEntry> entries = readZip(path);
        QCOMPARE(entryNames(entries),
                 (QStringList{QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
                              QStringLiteral("xl/workbook.xml"),
                              QStringLiteral("xl/_rels/workbook.xml.rels"),
                              QStringLiteral("xl/styles.xml"),
                              QStringLiteral("xl/worksheets/sheet1.xml")}));
        for (const ZipEntry& entry : entries) {
            QString schema = QStringLiteral("sml.xsd");
            if (entry.name == QLatin1String("[Content_Types].xml")) {
                schema = QStringLiteral("opc-contentTypes.xsd");
            } else if (entry.name.endsWith(QLatin1String(".rels"))) {
                schema = QStringLiteral("opc-relationships.xsd");
            }
            QCOMPARE(schemaViolations(schema, entry.data), QString());
            QVERIFY(entry.data.startsWith(
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<"));
            QVERIFY(!entry.data.endsWith('\n'));
            QVERIFY(entry.deflated);
        }
    }

    void openpyxlReadsEveryValueBack() {
        const QList<QStringList> rows{
            {QStringLiteral("Name"), QStringLiteral("Age"), QStringLiteral("Note")},
            {QStringLiteral("Bob"), QStringLiteral("42"), QStringLiteral("Tom & Jerry")},
            {QStringLiteral("007"), QStringLiteral("1e3"), QStringLiteral("-2.5"),
             QStringLiteral("+5")},
            {QStringLiteral("1,5"), QStringLiteral("12%"), QStringLiteral(" 42"),
             QStringLiteral("<a>")},
            {QStringLiteral("inf"), QStringLiteral("NaN"), QStringLiteral("0x1p3"),
             QStringLiteral("中文")},
        };
        const QString path = dir.filePath(QStringLiteral("openpyxl.xlsx"));
        QVERIFY(createXlsx(path, dataJson(rows)).success);
        const ProcessResult result = runPython(QString::fromLatin1(openpyxlDump), {path});
        QVERIFY2(result.exitCode == 0, result.errors.constData());
        const QJsonArray read = QJsonDocument::fromJson(result.output).array();
        QCOMPARE(read.size(), rows.size());
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QJsonArray cells = read[r].toArray();
            for (qsizetype c = 0; c < rows[r].size(); ++c) {
                const QString& text = rows[r][c];
                const QJsonArray cell = cells[c].toArray();
                const QString where = QStringLiteral("row %1 column %2").arg(r).arg(c);
                if (isNumericCell(text)) {
                    QVERIFY2(cell[0] == QLatin1String("int") || cell[0] == QLatin1String("float"),
                             qPrintable(where));
                    QCOMPARE(cell[1].toDouble(), std::strtod(text.toLatin1().constData(), nullptr));
                } else {
                    QCOMPARE(cell[0].toString(), QStringLiteral("str"));
                    QCOMPARE(cell[1].toString(), text);
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(XlsxWriterTest)
#include "tst_xlsx_writer.moc"
