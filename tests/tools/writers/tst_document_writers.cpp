// create_pptx and create_xlsx: every part against the transitional schemas,
// the slides' texts, which texts become numbers, openpyxl reading every value
// back, and where the archive lands. create_pdf_slides, read back with
// poppler-utils: page count and size, where each text's baseline lands,
// embedded fonts, CJK text extraction, and drawing on a worker thread.

#include "office_files.h"
#include "support/json_rows.h"
#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/writers/pdf_slides_writer.h"
#include "tools/writers/pptx_writer.h"
#include "tools/writers/spreadsheet_cells.h"
#include "tools/writers/xlsx_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

#include <clocale>

using namespace SpreadsheetCells;

namespace {

const QString table = "tools/writers.json";

// Each cell of the first sheet as [type name, value], as openpyxl reads it.
const char openpyxlDump[] = R"(
import json, math, sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
def cell(v):
    return [type(v).__name__, repr(v) if isinstance(v, float) and not math.isfinite(v) else v]
print(json.dumps([[cell(c.value) for c in row] for row in sheet.iter_rows()]))
)";

QString pdfText(const QString& pdf) {
    return QString::fromUtf8(runProgram("pdftotext", {pdf, "-"}).output);
}

// Checks that the word's baseline (from the page's bottom edge) lies in the
// lower part of its box as pdftotext -bbox reports it (below it only the
// descenders hang), and that it starts at left when that is given.
void verifyWord(const QString& pdf, int page, const QString& text, double baseline, double size,
                double left = -1) {
    const QString p = QString::number(page);
    const QString boxes = runProgram("pdftotext", {"-bbox", "-f", p, "-l", p, pdf, "-"}).output;
    const QRegularExpressionMatch m =
        QRegularExpression(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">)re" +
            QRegularExpression::escape(text) + "</word>")
            .match(boxes);
    QVERIFY2(m.hasMatch(), qPrintable(text));
    const double bottom = 768 - m.captured(3).toDouble();
    const double top = 768 - m.captured(2).toDouble();
    QVERIFY2(bottom < baseline && baseline - bottom < 0.35 * size && top > baseline + 0.5 * size,
             qPrintable(text + QStringLiteral(" from %1 to %2").arg(bottom).arg(top)));
    QVERIFY2(left < 0 || qAbs(m.captured(1).toDouble() - left) < 2, qPrintable(text));
}

} // namespace

class DocumentWritersTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QList<ZipEntry> deck(const QJsonArray& slides) {
        const QString path = m_dir.filePath("deck.pptx");
        return createPptx(path, jsonBytes(slides)).success ? readZip(path) : QList<ZipEntry>();
    }
    // The texts of the title run and the body run of one slide.
    static QStringList runTexts(const QList<ZipEntry>& entries, int slide) {
        const QString part = QString::fromUtf8(
            entryData(entries, QStringLiteral("ppt/slides/slide%1.xml").arg(slide)));
        QStringList texts;
        for (const QRegularExpressionMatch& match :
             QRegularExpression("<a:t>(.*?)</a:t>", QRegularExpression::DotMatchesEverythingOption)
                 .globalMatch(part)) {
            texts.append(match.captured(1));
        }
        return texts;
    }
    static void verifyEveryPartIsValid(const QList<ZipEntry>& entries, const QString& mainSchema) {
        for (const ZipEntry& entry : entries) {
            const QString schema = entry.name == "[Content_Types].xml" ? "opc-contentTypes.xsd"
                                   : entry.name.endsWith(".rels")      ? "opc-relationships.xsd"
                                   : entry.name.contains("/theme/")    ? "dml-main.xsd"
                                                                       : mainSchema;
            QCOMPARE(schemaViolations(schema, entry.data), QString());
            QVERIFY2(entry.deflated &&
                         entry.data.startsWith(
                             R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                             "\n<"),
                     qPrintable(entry.name));
        }
    }

    QString m_fiveSlides; // written once, read by several tests

private Q_SLOTS:
    void deckParts() {
        const QList<ZipEntry> entries = deck(jsonTable(table, "partsDeck").toArray());
        QCOMPARE(entries.size(), 15);
        verifyEveryPartIsValid(entries, "pml.xsd");
        // One run per shape: the line break is inside the run.
        const QByteArray part = entryData(entries, "ppt/slides/slide1.xml");
        QVERIFY(part.contains(R"(<a:rPr lang="en-US" sz="3600" b="1" dirty="0"/><a:t>Q3 Review)"));
        QVERIFY(part.contains(R"(<a:rPr lang="en-US" sz="2000" dirty="0"/><a:t>  Revenue up)"));
        QCOMPARE(entryData(entries, "[Content_Types].xml").count("presentationml.slide+xml"), 3);
    }

    // The third slide of three as given, and the texts of its title and body runs.
    void slideTitlesAndBodies_data() { addJsonRows(table, "slides"); }
    void slideTitlesAndBodies() {
        QFETCH(QJsonObject, row);
        const QList<ZipEntry> entries = deck({QJsonObject{}, QJsonObject{}, row["third"]});
        QCOMPARE(runTexts(entries, 3), jsonTexts(row["texts"]));
        QCOMPARE(schemaViolations("pml.xsd", entryData(entries, "ppt/slides/slide3.xml")),
                 QString());
    }

    void columnsAndNumbers() {
        for (const QJsonValue& column : jsonTable(table, "columns").toArray()) {
            QCOMPARE(columnLetters(column[0].toInt()), column[1].toString());
        }
        // Text, whether strtod reads it whole, whether it becomes a number cell:
        // <v> must be an xsd:double, so inf, nan and hex floats stay text.
        for (const QJsonValue& text : jsonTable(table, "numberTexts").toArray()) {
            QVERIFY2(parsesAsNumber(text[0].toString()) == text[1].toBool() &&
                         isNumericCell(text[0].toString()) == text[2].toBool(),
                     qPrintable(text[0].toString()));
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
        const QJsonArray rows = jsonTable(table, "workbook").toArray();
        const QString path = m_dir.filePath("openpyxl.xlsx");
        QCOMPARE(createXlsx(path, jsonBytes(rows)),
                 (ToolOutcome{"create_xlsx", true, "Created XLSX with 7 rows at " + path}));
        const QList<ZipEntry> entries = readZip(path);
        QCOMPARE(entries.size(), 6);
        verifyEveryPartIsValid(entries, "sml.xsd");

        const ProcessResult result = runProgram("/usr/bin/python3", {"-c", openpyxlDump, path});
        QVERIFY2(result.exitCode == 0, result.errors.constData());
        const QJsonArray read = QJsonDocument::fromJson(result.output).array();
        QCOMPARE(read.size(), rows.size());
        for (qsizetype r = 0; r < rows.size(); ++r) {
            for (qsizetype c = 0; c < rows[r].toArray().size(); ++c) {
                const QString text = rows[r][c].toString();
                const QJsonArray cell = read[r][c].toArray();
                if (isNumericCell(text)) {
                    QVERIFY2(cell[0] == "int" || cell[0] == "float", qPrintable(text));
                    QCOMPARE(cell[1].toDouble(), std::strtod(text.toLatin1().constData(), nullptr));
                } else if (!text.isEmpty()) {
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
        QVERIFY(!entryData(readZip(folder + "/again"), "ppt/presentation.xml").isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"again"});
        // "~" is the home, and the path is quoted as given.
        QCOMPARE(
            createPptx("~/Decks/q3.pptx", "[{}, {}]"),
            (ToolOutcome{"create_pptx", true, "Created PPTX with 2 slides at ~/Decks/q3.pptx"}));
        QCOMPARE(readZip(QDir::homePath() + "/Decks/q3.pptx").size(), 13);
    }

    void initTestCase() {
        m_fiveSlides = m_dir.filePath("five.pdf");
        QCOMPARE(createPdfSlides(m_fiveSlides, jsonBytes(jsonTable(table, "fiveSlides"))),
                 (ToolOutcome{"create_pdf_slides", true,
                              "Created PDF presentation with 5 slides at " + m_fiveSlides}));
    }

    void pagesAndEmbeddedFonts() {
        const QString info = runProgram("pdfinfo", {"-f", "1", "-l", "5", m_fiveSlides}).output;
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+5\\n")), qPrintable(info));
        QCOMPARE(info.count(QRegularExpression("Page +\\d+ size: +1024 x 768 pts")), 5);
        const QString fonts = runProgram("pdffonts", {m_fiveSlides}).output;
        const QStringList rows = fonts.split('\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!rows.isEmpty());
        for (const QString& row : rows) {
            // Columns: name, type..., encoding, emb, sub, uni, object, generation.
            const QStringList columns = row.simplified().split(' ');
            QVERIFY2(columns.size() >= 7 && columns[columns.size() - 5] == "yes", qPrintable(row));
        }
    }

    void textsSitOnTheirBaselines() {
        verifyWord(m_fiveSlides, 3, "Title3", 678, 40, 72);
        // Two leading spaces push the bullet text right of x 88.
        verifyWord(m_fiveSlides, 3, "Alpha", 618, 22, 88 + 12);
        // "3 / 5" in the bottom-right corner.
        verifyWord(m_fiveSlides, 3, "3", 24, 12, 944);
        // A subtitle moves the bullets down.
        verifyWord(m_fiveSlides, 2, "Alpha", 588, 22);
    }

    // Chinese text extracts as written: 一 人 口 文 日 月 are the characters some CJK
    // faces map to Kangxi radicals. Drawn on a worker thread, over an older deck.
    void chineseOnAWorkerThreadReplacesAndCreatesParents() {
        const QString title = "季度报告一人口文日月";
        const QString bullet = "收入增长 Revenue 上升";
        const QString path = m_dir.filePath("new/folder/deck.pdf");
        QVERIFY(createPdfSlides(path, R"([{"title":"First"}])").success);
        const QJsonObject first{
            {"title", title}, {"subtitle", "副标题"}, {"bullets", QJsonArray{bullet}}};
        QFuture<ToolOutcome> drawn = QtConcurrent::run([&] {
            return createPdfSlides(path, jsonBytes(QJsonArray{first, QJsonObject{}}));
        });
        QVERIFY(drawn.result().success);
        const QString text = pdfText(path);
        QVERIFY2(text.contains(title) && text.contains(bullet) && text.contains("副标题") &&
                     !text.contains("First"),
                 qPrintable(text));
        QVERIFY(!text.contains(QRegularExpression("[\\x{2F00}-\\x{2FDF}]")));
        QCOMPARE(QDir(m_dir.filePath("new/folder")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"deck.pdf"});
    }
};

QTEST_MAIN(DocumentWritersTest)
#include "tst_document_writers.moc"
