// create_pdf_slides, read back with poppler-utils: page count and size, where
// each text's baseline lands, embedded fonts, CJK text extraction, colours of
// the drawn shapes, messages, and drawing on a worker thread.

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

#include <unistd.h>

namespace {

constexpr double pageHeight = 768;

struct Word {
    QString text;
    double left;
    double bottom; // of the word's box, from the page's bottom edge
    double top;
};

// The words of one page as pdftotext -bbox reports them, turned to bottom-left origin.
QList<Word> wordsOfPage(const QString& pdf, int page) {
    const QString p = QString::number(page);
    const ProcessResult result = runProgram("pdftotext", {"-bbox", "-f", p, "-l", p, pdf, "-"});
    const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re");
    QList<Word> words;
    auto matches = word.globalMatch(QString::fromUtf8(result.output));
    while (matches.hasNext()) {
        const auto m = matches.next();
        words.append({m.captured(4), m.captured(1).toDouble(),
                      pageHeight - m.captured(3).toDouble(),
                      pageHeight - m.captured(2).toDouble()});
    }
    return words;
}

std::optional<Word> findWord(const QList<Word>& words, const QString& text) {
    const auto it =
        std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
    return it == words.end() ? std::nullopt : std::optional<Word>(*it);
}

QString slidesJson(const QJsonArray& slides) {
    return QJsonDocument(slides).toJson(QJsonDocument::Compact);
}

QString pdfText(const QString& pdf, const QStringList& options = {}) {
    return QString::fromUtf8(runProgram("pdftotext", options + QStringList{pdf, "-"}).output);
}

// A baseline lies inside the word's box, in its lower part (below it only the
// descenders hang).
void verifyBaseline(const std::optional<Word>& word, double baseline, double size) {
    QVERIFY(word);
    QVERIFY2(word->bottom < baseline && baseline - word->bottom < 0.35 * size &&
                 word->top > baseline + 0.5 * size,
             qPrintable(QStringLiteral("%1: box %2..%3, baseline %4")
                            .arg(word->text)
                            .arg(word->bottom)
                            .arg(word->top)
                            .arg(baseline)));
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

    void everyPageIs1024By768Points() {
        const QString info = runProgram("pdfinfo", {"-f", "1", "-l", "5", m_fiveSlides}).output;
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+5\\n")), qPrintable(info));
        QCOMPARE(info.count(QRegularExpression("Page +\\d+ size: +1024 x 768 pts")), 5);
    }

    void textsSitOnTheirBaselines() {
        const QList<Word> page = wordsOfPage(m_fiveSlides, 3);
        verifyBaseline(findWord(page, "Title3"), 678, 40);
        QVERIFY(qAbs(findWord(page, "Title3")->left - 72) < 2);
        verifyBaseline(findWord(page, "Alpha"), 618, 22);
        verifyBaseline(findWord(page, "Beta"), 578, 22);
        verifyBaseline(findWord(page, "Gamma"), 538, 22);
        // Two leading spaces push the bullet text right of x 88.
        const double bulletLeft = findWord(page, "Alpha")->left;
        QVERIFY2(bulletLeft > 88 + 5 && bulletLeft < 88 + 20,
                 qPrintable(QString::number(bulletLeft)));
        // "3 / 5" in the bottom-right corner.
        verifyBaseline(findWord(page, "3"), 24, 12);
        QVERIFY(qAbs(findWord(page, "3")->left - 944) < 2);
        verifyBaseline(findWord(page, "5"), 24, 12);
        QVERIFY(findWord(page, "/"));
        // A subtitle moves the bullets down.
        const QList<Word> second = wordsOfPage(m_fiveSlides, 2);
        verifyBaseline(findWord(second, "Subline"), 638, 20);
        verifyBaseline(findWord(second, "Alpha"), 588, 22);
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
        QVERIFY(isAt(600, 766, accent)); // the bar along the top
        QVERIFY(isAt(600, 759, background));
        // Each dot fills x 72..82 from baseline + 4 up to baseline + 14; no fourth dot.
        for (const int baseline : {618, 578, 538}) {
            const QString where = QString::number(baseline);
            for (const double y : {9.0, 5.5, 12.5}) {
                QVERIFY2(isAt(77, baseline + y, accent), qPrintable(where));
            }
            QVERIFY2(isAt(77, baseline + 2, background) && isAt(77, baseline + 16, background) &&
                         isAt(70, baseline + 9, background) && isAt(84, baseline + 9, background),
                     qPrintable(where));
        }
        QVERIFY(isAt(77, 498 + 9, background));
    }

    void fontsAreEmbedded() {
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
        QVERIFY(QString(runProgram("pdfinfo", {path}).output).contains("1024 x 768 pts"));
        const QList<Word> first = wordsOfPage(path, 1);
        verifyBaseline(findWord(first, "Slide"), 678, 40);
        verifyBaseline(findWord(first, "Point15"), 618 - 14 * 40, 22);
        // One line, running past the right edge rather than wrapping.
        const QString text =
            pdfText(path, {"-f", "2", "-l", "2", "-x", "0", "-y", "0", "-W", "4000", "-H", "768"});
        QVERIFY2(text.contains(longTitle), qPrintable(text));
    }

    void unwritableTargetCannotCreateTheContext() {
        QFile plain(m_dir.filePath("plain.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const ToolOutcome expected{"create_pdf_slides", false, "Cannot create PDF context"};
        for (const QString& path :
             {m_dir.filePath("plain.txt/deck.pdf"), m_dir.path(), QString()}) {
            QCOMPARE(createPdfSlides(path, "[{}]"), expected);
        }
        QCOMPARE(QFileInfo(plain.fileName()).size(), 0);
        if (geteuid() == 0) {
            QSKIP("root writes into read-only folders");
        }
        const QString locked = m_dir.filePath("locked");
        QVERIFY(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const ToolOutcome outcome = createPdfSlides(locked + "/deck.pdf", "[{}]");
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        QCOMPARE(outcome, expected);
        QVERIFY(QDir(locked).isEmpty());
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
