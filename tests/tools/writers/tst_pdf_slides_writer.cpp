// create_pdf_slides, read back with poppler-utils: page count and size, where
// each text's baseline lands, embedded fonts, CJK text extraction, colours of
// the drawn shapes, and drawing on a worker thread.

#include "office_files.h"
#include "support/tool_outcome_text.h"
#include "tools/writers/pdf_slides_writer.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

namespace {

QString slidesJson(const QJsonArray& slides) {
    return QJsonDocument(slides).toJson(QJsonDocument::Compact);
}

QString pdfText(const QString& pdf, const QStringList& options = {}) {
    return QString::fromUtf8(runProgram("pdftotext", options + QStringList{pdf, "-"}).output);
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
             qPrintable(QStringLiteral("%1: box %2..%3, baseline %4")
                            .arg(text)
                            .arg(bottom)
                            .arg(top)
                            .arg(baseline)));
    QVERIFY2(left < 0 || qAbs(m.captured(1).toDouble() - left) < 2, qPrintable(text));
}

} // namespace

class PdfSlidesWriterTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_fiveSlides; // written once, read by several tests

private Q_SLOTS:
    void initTestCase() {
        QJsonArray slides;
        for (int i = 1; i <= 5; ++i) {
            slides.append(QJsonObject{{"title", QStringLiteral("Title%1").arg(i)},
                                      {"bullets", QJsonArray{"Alpha", "Beta", "Gamma"}}});
        }
        slides[1] = QJsonObject{
            {"title", "Title2"}, {"subtitle", "Subline"}, {"bullets", QJsonArray{"Alpha"}}};
        m_fiveSlides = m_dir.filePath("five.pdf");
        QCOMPARE(createPdfSlides(m_fiveSlides, slidesJson(slides)),
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
        // Helvetica is served by its metric twin.
        QVERIFY2(fonts.contains("NimbusSans-Bold") && fonts.contains("NimbusSans-Regular"),
                 qPrintable(fonts));
    }

    void textsSitOnTheirBaselines() {
        verifyWord(m_fiveSlides, 3, "Title3", 678, 40, 72);
        // Two leading spaces push the bullet text right of x 88.
        verifyWord(m_fiveSlides, 3, "Alpha", 618, 22, 88 + 12);
        verifyWord(m_fiveSlides, 3, "Gamma", 538, 22);
        // "3 / 5" in the bottom-right corner.
        verifyWord(m_fiveSlides, 3, "3", 24, 12, 944);
        verifyWord(m_fiveSlides, 3, "5", 24, 12);
        // A subtitle moves the bullets down.
        verifyWord(m_fiveSlides, 2, "Subline", 638, 20);
        verifyWord(m_fiveSlides, 2, "Alpha", 588, 22);
    }

    void shapesAreFilledWithTheirColours() {
        const QString prefix = m_dir.filePath("page");
        QCOMPARE(runProgram("pdftoppm",
                            {"-r", "72", "-f", "3", "-singlefile", "-png", m_fiveSlides, prefix})
                     .exitCode,
                 0);
        const QImage image(prefix + ".png");
        QCOMPARE(image.size(), QSize(1024, 768));
        // The colour at x and a height from the page's bottom edge.
        const auto isAt = [&](double x, double fromBottom, QRgb expected) {
            const QRgb pixel = image.pixel(int(x), int(768 - fromBottom));
            return qAbs(qRed(pixel) - qRed(expected)) < 6 &&
                   qAbs(qGreen(pixel) - qGreen(expected)) < 6 &&
                   qAbs(qBlue(pixel) - qBlue(expected)) < 6;
        };
        const QRgb background = qRgb(250, 250, 245);
        const QRgb accent = qRgb(255, 107, 43);
        QVERIFY(isAt(600, 368, background));
        QVERIFY(isAt(600, 766, accent) && isAt(600, 759, background)); // the bar along the top
        // Each dot fills x 72..82 from baseline + 4 up to baseline + 14; no fourth dot.
        for (const int baseline : {618, 578, 538}) {
            QVERIFY2(isAt(77, baseline + 5.5, accent) && isAt(77, baseline + 12.5, accent) &&
                         isAt(77, baseline + 2, background) &&
                         isAt(77, baseline + 16, background) &&
                         isAt(70, baseline + 9, background) && isAt(84, baseline + 9, background),
                     qPrintable(QString::number(baseline)));
        }
        QVERIFY(isAt(77, 498 + 9, background));
    }

    void chineseTextExtractsAsWritten() {
        // 一 人 口 文 日 月 are the characters some CJK faces map to Kangxi radicals.
        const QString title = "季度报告一人口文日月";
        const QString bullet = "收入增长 Revenue 上升";
        const QString path = m_dir.filePath("chinese.pdf");
        QVERIFY(createPdfSlides(path, slidesJson({QJsonObject{{"title", title},
                                                              {"subtitle", "副标题"},
                                                              {"bullets", QJsonArray{bullet}}}}))
                    .success);
        const QString text = pdfText(path);
        QVERIFY2(text.contains(title) && text.contains(bullet) && text.contains("副标题"),
                 qPrintable(text));
        QVERIFY(!text.contains(QRegularExpression("[\\x{2F00}-\\x{2FDF}]")));
    }

    void untitledSlidesAndLongDecksNeedNoRoom() {
        QJsonArray fifteen;
        for (int i = 1; i <= 15; ++i) {
            fifteen.append(QStringLiteral("Point%1").arg(i));
        }
        const QString path = m_dir.filePath("long.pdf");
        const QString longTitle = QString("Wide").repeated(40);
        QVERIFY(createPdfSlides(path, slidesJson({QJsonObject{{"bullets", fifteen}},
                                                  QJsonObject{{"title", longTitle}}}))
                    .success);
        verifyWord(path, 1, "Slide", 678, 40);
        verifyWord(path, 1, "Point15", 618 - 14 * 40, 22);
        // One line, running past the right edge rather than wrapping.
        const QString text =
            pdfText(path, {"-f", "2", "-l", "2", "-x", "0", "-y", "0", "-W", "4000", "-H", "768"});
        QVERIFY2(text.contains(longTitle), qPrintable(text));
    }

    void replacesOnAWorkerThreadAndCreatesParents() {
        const QString path = m_dir.filePath("new/folder/deck.pdf");
        QVERIFY(createPdfSlides(path, R"([{"title":"First"}])").success);
        QFuture<ToolOutcome> drawn = QtConcurrent::run([path] {
            return createPdfSlides(path, R"([{"title":"Threaded","bullets":["中文"]},{}])");
        });
        QVERIFY(drawn.result().success);
        const QString text = pdfText(path);
        QVERIFY2(text.contains("Threaded") && text.contains("中文") && !text.contains("First"),
                 qPrintable(text));
        QCOMPARE(QDir(m_dir.filePath("new/folder")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"deck.pdf"});
    }
};

QTEST_MAIN(PdfSlidesWriterTest)
#include "tst_pdf_slides_writer.moc"
