// create_pptx and create_xlsx: the packages' parts and what they say, which
// texts become numbers, the tools' messages, every part against the
// transitional schemas, openpyxl reading every value back; and the packaging
// they share: where the archive lands, what it replaces, what is left behind
// when it cannot be written.

#include "office_files.h"
#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/writers/pptx_writer.h"
#include "tools/writers/spreadsheet_cells.h"
#include "tools/writers/xlsx_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>

using namespace SpreadsheetCells;

namespace {

QString json(const QJsonArray& array) {
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QJsonObject slide(const QString& title, const QStringList& bullets = {}) {
    return {{"title", title}, {"bullets", QJsonArray::fromStringList(bullets)}};
}

QString rowsJson(const QList<QStringList>& rows) {
    QJsonArray array;
    for (const QStringList& row : rows) {
        array.append(QJsonArray::fromStringList(row));
    }
    return json(array);
}

// The schema each part of a package is checked against.
QString schemaFor(const QString& part, const QString& main) {
    if (part == "[Content_Types].xml") {
        return "opc-contentTypes.xsd";
    }
    return part.endsWith(".rels")     ? "opc-relationships.xsd"
           : part.contains("/theme/") ? "dml-main.xsd"
                                      : main;
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

class OoxmlWritersTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<ZipEntry> m_deck; // three slides, written once

    QList<ZipEntry> written(const ToolOutcome& outcome, const QString& path) {
        return outcome.success ? readZip(path) : QList<ZipEntry>();
    }
    QList<ZipEntry> deck(const QJsonArray& slides) {
        const QString path = m_dir.filePath("deck.pptx");
        return written(createPptx(path, json(slides)), path);
    }
    // The texts of the title run and the body run of one slide.
    static QStringList runTexts(const QList<ZipEntry>& entries, int slide) {
        QStringList texts;
        for (const QByteArray& text : elementTexts(
                 entryData(entries, QStringLiteral("ppt/slides/slide%1.xml").arg(slide)), "a:t")) {
            texts.append(QString::fromUtf8(text));
        }
        return texts;
    }
    static void verifyEveryPartIsValid(const QList<ZipEntry>& entries, const QString& mainSchema) {
        for (const ZipEntry& entry : entries) {
            QCOMPARE(schemaViolations(schemaFor(entry.name, mainSchema), entry.data), QString());
            QVERIFY2(entry.deflated && !entry.data.endsWith('\n') &&
                         entry.data.startsWith(
                             R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                             "\n<"),
                     qPrintable(entry.name));
        }
    }

private Q_SLOTS:
    void initTestCase() {
        m_deck = deck({slide("Q3 Review", {"Revenue up", "Costs down"}), QJsonObject{},
                       slide("Quarterly \"review\" & <outlook>", {"季度报告", "it's fine"})});
        QCOMPARE(m_deck.size(), 15);
    }

    void slideRunsAndPackageOrder() {
        QCOMPARE(runTexts(m_deck, 1), (QStringList{"Q3 Review", "  Revenue up\n  Costs down"}));
        const QByteArray part = entryData(m_deck, "ppt/slides/slide1.xml");
        // One paragraph with one run per shape: the line break is inside the run.
        QCOMPARE(part.count("<a:p>"), 2);
        QCOMPARE(part.count("<a:r>"), 2);
        QVERIFY(part.contains(R"(<a:rPr lang="en-US" sz="3600" b="1" dirty="0"/><a:t>Q3 Review)"));
        QVERIFY(part.contains(R"(<a:rPr lang="en-US" sz="2000" dirty="0"/><a:t>  Revenue up)"));
        QStringList names{"[Content_Types].xml",
                          "_rels/.rels",
                          "ppt/presentation.xml",
                          "ppt/_rels/presentation.xml.rels",
                          "ppt/slideLayouts/slideLayout1.xml",
                          "ppt/slideLayouts/_rels/slideLayout1.xml.rels",
                          "ppt/slideMasters/slideMaster1.xml",
                          "ppt/slideMasters/_rels/slideMaster1.xml.rels",
                          "ppt/theme/theme1.xml"};
        for (int i = 1; i <= 3; ++i) {
            names << QStringLiteral("ppt/slides/slide%1.xml").arg(i)
                  << QStringLiteral("ppt/slides/_rels/slide%1.xml.rels").arg(i);
        }
        QCOMPARE(entryNames(m_deck), names);
        verifyEveryPartIsValid(m_deck, "pml.xsd");
    }

    void slidesAreNumberedAndListed() {
        const QByteArray presentation = entryData(m_deck, "ppt/presentation.xml");
        QVERIFY(presentation.contains(R"(<p:sldIdLst><p:sldId id="256" r:id="rId3"/>)"
                                      R"(<p:sldId id="257" r:id="rId4"/>)"
                                      R"(<p:sldId id="258" r:id="rId5"/></p:sldIdLst>)"));
        QVERIFY(presentation.contains(R"(<p:sldMasterId id="2147483648" r:id="rId1"/>)"));
        QVERIFY(presentation.contains(R"(<p:sldSz cx="12192000" cy="6858000"/>)"));
        QVERIFY(presentation.contains(R"(<p:notesSz cx="6858000" cy="9144000"/>)"));
        const QByteArray relationships = entryData(m_deck, "ppt/_rels/presentation.xml.rels");
        for (int i = 1; i <= 3; ++i) {
            QVERIFY(relationships.contains(
                QStringLiteral(
                    "Id=\"rId%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
                    "2006/relationships/slide\" Target=\"slides/slide%2.xml\"")
                    .arg(i + 2)
                    .arg(i)
                    .toUtf8()));
        }
        QCOMPARE(entryData(m_deck, "[Content_Types].xml").count("presentationml.slide+xml"), 3);
        // A consumer follows relationships and content-type overrides: each must land.
        const QStringList names = entryNames(m_deck);
        int targets = 0;
        for (const ZipEntry& entry : m_deck) {
            // Targets are relative to the folder above _rels.
            const QString base = entry.name.section("_rels/", 0, 0);
            auto matches = QRegularExpression("(?:Target=\"|PartName=\"/)([^\"]+)\"")
                               .globalMatch(QString::fromUtf8(entry.data));
            while (matches.hasNext()) {
                const QString target = matches.next().captured(1);
                const QString resolved =
                    entry.name.endsWith(".rels")
                        ? QDir::cleanPath(base + target).remove(QRegularExpression("^/"))
                        : target;
                QVERIFY2(names.contains(resolved), qPrintable(entry.name + " -> " + resolved));
                ++targets;
            }
        }
        QVERIFY(targets > 10);
    }

    void slideTitlesAndBodies_data() {
        QTest::addColumn<QJsonObject>("third");
        QTest::addColumn<QStringList>("texts"); // title run, body run
        const QJsonArray two{"a", "b"};
        QTest::newRow("no title") << QJsonObject{{"bullets", two}}
                                  << QStringList{"Slide 3", "  a\n  b"};
        QTest::newRow("title not a string")
            << QJsonObject{{"title", 7}} << QStringList{"Slide 3", ""};
        QTest::newRow("empty title kept") << QJsonObject{{"title", ""}} << QStringList{"", ""};
        QTest::newRow("number among bullets")
            << QJsonObject{{"title", "T"}, {"bullets", QJsonArray{"a", 2}}} << QStringList{"T", ""};
        QTest::newRow("bullets not an array")
            << QJsonObject{{"title", "T"}, {"bullets", "a"}} << QStringList{"T", ""};
        QTest::newRow("subtitle ignored")
            << QJsonObject{{"title", "T"}, {"subtitle", "Sub"}, {"bullets", two}}
            << QStringList{"T", "  a\n  b"};
        QTest::newRow("escaped") << QJsonObject{{"title", "A & B <C>"},
                                                {"bullets", QJsonArray{"\"it's\""}}}
                                 << QStringList{"A &amp; B &lt;C&gt;", "  &quot;it&apos;s&quot;"};
        QTest::newRow("already escaped text escaped again")
            << QJsonObject{{"title", "&amp;"}} << QStringList{"&amp;amp;", ""};
        // XML cannot carry these at all; tab and line feed are fine.
        QTest::newRow("control characters dropped")
            << QJsonObject{{"title", "a\u0001b\u001Fc\td"}} << QStringList{"abc\td", ""};
    }
    void slideTitlesAndBodies() {
        QFETCH(QJsonObject, third);
        QFETCH(QStringList, texts);
        const QList<ZipEntry> entries = deck({QJsonObject{}, QJsonObject{}, third});
        QCOMPARE(runTexts(entries, 3), texts);
        QCOMPARE(runTexts(entries, 1).value(0), "Slide 1");
        QCOMPARE(schemaViolations("pml.xsd", entryData(entries, "ppt/slides/slide3.xml")),
                 QString());
    }

    void columnLettersAreBijectiveBase26() {
        const QList<QPair<qsizetype, QString>> columns{
            {0, "A"},    {25, "Z"},    {26, "AA"},     {27, "AB"},     {52, "BA"},
            {701, "ZZ"}, {702, "AAA"}, {16383, "XFD"}, {18277, "ZZZ"}, {18278, "AAAA"}};
        for (const auto& [column, letters] : columns) {
            QCOMPARE(columnLetters(column), letters);
        }
    }

    void numberTestFollowsStrtod() {
        // Text, whether strtod reads it whole, whether it becomes a number cell:
        // <v> must be an xsd:double, so inf, nan and hex floats stay text.
        const QList<std::tuple<QString, bool, bool>> texts{
            {"007", true, true},     {"1e3", true, true},
            {"-1.5E-3", true, true}, {"-2.5", true, true},
            {"+5", true, true},      {".5", true, true},
            {"5.", true, true},      {"1,5", false, false},
            {"12%", false, false},   {" 42", false, false},
            {"\t42", false, false},  {QString(QChar(0)) + "4", false, false},
            {"42 ", false, false},   {"4" + QString(QChar(0)) + "2", false, false},
            {"1,000", false, false}, {"", false, false},
            {"-", false, false},     {"1e", false, false},
            {"Bob", false, false},   {"４２", false, false},
            {"inf", true, false},    {"-Infinity", true, false},
            {"NaN", true, false},    {"nan(12)", true, false},
            {"0x1p3", true, false},  {"0X1A", true, false},
            {"0x", false, false}};
        for (const auto& [text, parses, numeric] : texts) {
            QVERIFY2(parsesAsNumber(text) == parses && isNumericCell(text) == numeric,
                     qPrintable(text));
        }
        // Under a decimal-comma locale strtod would accept 1,5 and refuse 2.5.
        const QByteArray previous = setlocale(LC_NUMERIC, nullptr);
        if (setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
            QSKIP("no German locale installed");
        }
        const bool comma = parsesAsNumber("1,5");
        const bool point = parsesAsNumber("2.5");
        setlocale(LC_NUMERIC, previous.constData());
        QVERIFY(!comma && point);
    }

    void workbookPartsAndOpenpyxl() {
        // Numbers and texts by kind, escaping, an empty row in its place, and
        // a row wide enough for two-letter columns.
        QList<QStringList> rows{{"Name", "Age", "Note"},
                                {"Bob", "42", "Tom & Jerry"},
                                {"007", "1e3", "-2.5", "+5"},
                                {},
                                {"1,5", "12%", " 42", "<b>\"x\"'"},
                                {"inf", "NaN", "0x1p3", "中文", ""},
                                {}};
        for (int i = 0; i < 28; ++i) {
            rows.last().append(i % 2 ? QString::number(i) : QStringLiteral("c%1").arg(i));
        }
        const QString path = m_dir.filePath("openpyxl.xlsx");
        QCOMPARE(createXlsx(path, rowsJson(rows)),
                 (ToolOutcome{"create_xlsx", true, "Created XLSX with 7 rows at " + path}));
        const QList<ZipEntry> entries = readZip(path);
        QCOMPARE(entryNames(entries), (QStringList{"[Content_Types].xml", "_rels/.rels",
                                                   "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                                                   "xl/styles.xml", "xl/worksheets/sheet1.xml"}));
        verifyEveryPartIsValid(entries, "sml.xsd");

        const ProcessResult result = runPython(openpyxlDump, {path});
        QVERIFY2(result.exitCode == 0, result.errors.constData());
        const QJsonArray read = QJsonDocument::fromJson(result.output).array();
        QCOMPARE(read.size(), rows.size());
        for (qsizetype r = 0; r < rows.size(); ++r) {
            for (qsizetype c = 0; c < rows[r].size(); ++c) {
                const QString& text = rows[r][c];
                const QJsonArray cell = read[r][c].toArray();
                if (isNumericCell(text)) {
                    QVERIFY2(cell[0] == "int" || cell[0] == "float", qPrintable(text));
                    QCOMPARE(cell[1].toDouble(), std::strtod(text.toLatin1().constData(), nullptr));
                } else if (!text.isEmpty()) {
                    QCOMPARE(cell[0].toString(), "str");
                    QCOMPARE(cell[1].toString(), text);
                }
            }
        }
    }

    void whereTheArchiveLands() {
        // An existing file is replaced, missing parents are created, the name is
        // kept exactly and nothing else is left beside it.
        const QString folder = m_dir.filePath("lands/one/two");
        QVERIFY(writeBytes(folder + "/again", QByteArray(100000, 'o')));
        QVERIFY(createXlsx(folder + "/again", R"([["a"]])").success);
        QVERIFY(createPptx(folder + "/again", "[{}]").success);
        QVERIFY(createXlsx(folder + "/book.odd.name", R"([["a"]])").success);
        const QStringList names = entryNames(readZip(folder + "/again"));
        QVERIFY(names.contains("ppt/presentation.xml") && !names.contains("xl/workbook.xml"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"again", "book.odd.name"}));
        // A relative path resolves against the working directory, and is quoted as given.
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        const ToolOutcome relative = createXlsx("relative/book.xlsx", R"([["a"]])");
        QDir::setCurrent(previous);
        QCOMPARE(relative.output, "Created XLSX with 1 rows at relative/book.xlsx");
        QVERIFY(!readZip(m_dir.filePath("relative/book.xlsx")).isEmpty());
        QCOMPARE(
            createPptx("~/Decks/q3.pptx", "[{}, {}]"),
            (ToolOutcome{"create_pptx", true, "Created PPTX with 2 slides at ~/Decks/q3.pptx"}));
        QCOMPARE(readZip(QDir::homePath() + "/Decks/q3.pptx").size(), 13);
    }

    void unwritableTargetsReportAFileError_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("under a regular file") << m_dir.filePath("plain.txt/deck.pptx");
        QTest::newRow("an existing folder") << m_dir.filePath("folder");
        QTest::newRow("no name") << QString();
    }
    void unwritableTargetsReportAFileError() {
        QFETCH(QString, path);
        QVERIFY(writeBytes(m_dir.filePath("plain.txt"), {}) &&
                QDir().mkpath(m_dir.filePath("folder/inside")));
        for (const ToolOutcome& outcome :
             {createPptx(path, "[{}]"), createXlsx(path, R"([["a"]])")}) {
            QVERIFY2(!outcome.success && outcome.output.startsWith("Error: ") &&
                         outcome.output.size() > 7,
                     qPrintable(outcome.output));
        }
        QCOMPARE(QFileInfo(m_dir.filePath("plain.txt")).size(), 0);
        QVERIFY(QFileInfo(m_dir.filePath("folder/inside")).isDir());
    }

    void readOnlyFolderKeepsTheOldFile() {
        if (geteuid() == 0) {
            QSKIP("root writes into read-only folders");
        }
        const QString path = m_dir.filePath("locked/kept.xlsx");
        QVERIFY(createXlsx(path, R"([["a"]])").success);
        const QByteArray before = readBytes(path);
        QFile::setPermissions(m_dir.filePath("locked"),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const ToolOutcome outcome = createXlsx(path, R"([["b"]])");
        QFile::setPermissions(m_dir.filePath("locked"), QFileDevice::ReadOwner |
                                                            QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
        QVERIFY(outcome.output.startsWith("Error: "));
        QCOMPARE(readBytes(path), before);
    }
};

QTEST_GUILESS_MAIN(OoxmlWritersTest)
#include "tst_ooxml_writers.moc"
