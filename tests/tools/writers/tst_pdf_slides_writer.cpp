// create_pdf_slides, read back with poppler-utils: page count and size, where
// each text's baseline lands, embedded fonts, CJK text extraction, colours of
// the drawn shapes, messages, and drawing on a worker thread.

#include "tools/writers/pdf_slides_writer.h"
#include "writer_test_support.h"

#include <QFutureWatcher>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

#include <unistd.h>

using namespace WriterTests;

namespace {

constexpr double pageHeight = 768;

struct Word {
    QString text;
    double left;
    double bottom; // of the word's box, from the page's bottom edge
    double top;
};

// Words of one page as pdftotext -bbox reports them, turned to bottom-left origin.
QList<Word> wordsOfPage(const QString& pdf, int page) {
    const ProcessResult result =
        runProgram(QStringLiteral("pdftotext"),
                   {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                    QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re"));
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
    for (const Word& w : words) {
        if (w.text == text) {
            return w;
        }
    }
    return std::nullopt;
}

QString slidesJson(const QJsonArray& slides) {
    return QString::fromUtf8(QJsonDocument(slides).toJson(QJsonDocument::Compact));
}

QString pdfText(const QString& pdf) {
    return QString::fromUtf8(
        runProgram(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).output);
}

QString pdfInfo(const QString& pdf) {
    return QString::fromUtf8(runProgram(QStringLiteral("pdfinfo"), {pdf}).output);
}

} // namespace

class PdfSlidesWriterTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString fiveSlides; // written once, read by several tests

    // A baseline lies inside the word's box, in its lower part (below it only
    // the descenders hang).
    static void verifyBaseline(const std::optional<Word>& word, double baseline, double size) {
        QVERIFY(word);
        QVERIFY2(word->bottom < baseline && baseline - word->bottom < 0.35 * size &&
                     word->top > baseline + 0.5 * size,
                 qPrintable(QStringLiteral("%1: box %2..%3, baseline %4")
                                .arg(word->text)
                                .arg(word->bottom)
                                .arg(word->top)
                                .arg(baseline)));
    }

private Q_SLOTS:
    void initTestCase() {
        QJsonArray slides;
        for (int i = 1; i <= 5; ++i) {
            slides.append(QJsonObject{{QStringLiteral("title"), QStringLiteral("Title%1").arg(i)},
                                      {QStringLiteral("bullets"),
                                       QJsonArray{QStringLiteral("Alpha"), QStringLiteral("Beta"),
                                                  QStringLiteral("Gamma")}}});
        }
        slides[1] = QJsonObject{{QStringLiteral("title"), QStringLiteral("Title2")},
                                {QStringLiteral("subtitle"), QStringLiteral("Subline")},
                                {QStringLiteral("bullets"), QJsonArray{QStringLiteral("Alpha")}}};
        fiveSlides = dir.filePath(QStringLiteral("five.pdf"));
        QCOMPARE(createPdfSlides(fiveSlides, slidesJson(slides)),
                 (ToolOutcome{QStringLiteral("create_pdf_slides"), true,
                              QStringLiteral("Created PDF presentation with 5 slides at ") +
                                  fiveSlides}));
    }

    void everyPageIs1024By768Points() {
        const QString info = pdfInfo(fiveSlides);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+5\\n"))),
                 qPrintable(info));
        const ProcessResult perPage = runProgram(
            QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                        QStringLiteral("-l"), QStringLiteral("5"), fiveSlides});
        QCOMPARE(QString::fromUtf8(perPage.output)
                     .count(QRegularExpression(QStringLiteral("Page +\\d+ size: +1024 x 768 pts"))),
                 5);
    }

    void textsSitOnTheirBaselines() {
        const QList<Word> page = wordsOfPage(fiveSlides, 3);
        verifyBaseline(findWord(page, QStringLiteral("Title3")), 678, 40);
        QVERIFY(qAbs(findWord(page, QStringLiteral("Title3"))->left - 72) < 2);
        verifyBaseline(findWord(page, QStringLiteral("Alpha")), 618, 22);
        verifyBaseline(findWord(page, QStringLiteral("Beta")), 578, 22);
        verifyBaseline(findWord(page, QStringLiteral("Gamma")), 538, 22);
        // Two leading spaces push the bullet text right of x 88.
        const double bulletLeft = findWord(page, QStringLiteral("Alpha"))->left;
        QVERIFY2(bulletLeft > 88 + 5 && bulletLeft < 88 + 20,
                 qPrintable(QString::number(bulletLeft)));
        // "3 / 5" in the bottom-right corner.
        const std::optional<Word> number = findWord(page, QStringLiteral("3"));
        verifyBaseline(number, 24, 12);
        QVERIFY(qAbs(number->left - 944) < 2);
        verifyBaseline(findWord(page, QStringLiteral("5")), 24, 12);
        QVERIFY(findWord(page, QStringLiteral("/")));
    }

    void subtitleMovesTheBulletsDown() {
        const QList<Word> page = wordsOfPage(fiveSlides, 2);
        verifyBaseline(findWord(page, QStringLiteral("Subline")), 638, 20);
        verifyBaseline(findWord(page, QStringLiteral("Alpha")), 588, 22);
    }

    void shapesAreFilledWithTheirColours() {
        const QString prefix = dir.filePath(QStringLiteral("page"));
        QCOMPARE(runProgram(QStringLiteral("pdftoppm"),
                            {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"),
                             QStringLiteral("3"), QStringLiteral("-singlefile"),
                             QStringLiteral("-png"), fiveSlides, prefix})
                     .exitCode,
                 0);
        const QImage image(prefix + QStringLiteral(".png"));
        QCOMPARE(image.size(), QSize(1024, 768));
        const auto near = [](QRgb pixel, int r, int g, int b) {
            return qAbs(qRed(pixel) - r) < 6 && qAbs(qGreen(pixel) - g) < 6 &&
                   qAbs(qBlue(pixel) - b) < 6;
        };
        QVERIFY(near(image.pixel(600, 400), 250, 250, 245)); // background
        QVERIFY(near(image.pixel(600, 2), 255, 107, 43));    // accent bar
        QVERIFY(near(image.pixel(600, 9), 250, 250, 245));   // below the bar
        // Each dot fills x 72..82 from baseline + 4 up to baseline + 14.
        const auto pixelAt = [&](double x, double yFromBottom) {
            return image.pixel(int(x), int(768 - yFromBottom));
        };
        for (const int baseline : {618, 578, 538}) {
            const QString where = QString::number(baseline);
            QVERIFY2(near(pixelAt(77, baseline + 9), 255, 107, 43), qPrintable(where));
            QVERIFY2(near(pixelAt(77, baseline + 5.5), 255, 107, 43), qPrintable(where));
            QVERIFY2(near(pixelAt(77, baseline + 12.5), 255, 107, 43), qPrintable(where));
            QVERIFY2(near(pixelAt(77, baseline + 2), 250, 250, 245), qPrintable(where));
            QVERIFY2(near(pixelAt(77, baseline + 16), 250, 250, 245), qPrintable(where));
            QVERIFY2(near(pixelAt(70, baseline + 9), 250, 250, 245), qPrintable(where));
            QVERIFY2(near(pixelAt(84, baseline + 9), 250, 250, 245), qPrintable(where));
        }
        QVERIFY(near(image.pixel(77, 768 - (498 + 9)), 250, 250, 245)); // no fourth dot
    }

    void fontsAreEmbedded() {
        const QString fonts =
            QString::fromUtf8(runProgram(QStringLiteral("pdffonts"), {fiveSlides}).output);
        const QStringList rows = fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        QVERIFY(!rows.isEmpty());
        for (const QString& row : rows) {
            // Columns: name, type..., encoding, emb, sub, uni, object, generation.
            const QStringList columns = row.simplified().split(QLatin1Char(' '));
            QVERIFY2(columns.size() >= 7 && columns[columns.size() - 5] == QLatin1String("yes"),
                     qPrintable(row));
        }
        // Helvetica is served by its metric twin.
        QVERIFY2(fonts.contains(QLatin1String("NimbusSans-Bold")) &&
                     fonts.contains(QLatin1String("NimbusSans-Regular")),
                 qPrintable(fonts));
    }

    void chineseTextExtractsAsWritten() {
        // 一 人 口 文 日 月 are the characters some CJK faces map to Kangxi radicals.
        const QString title = QStringLiteral("季度报告一人口文日月");
        const QString bullet = QStringLiteral("收入增长 Revenue 上升");
        const QString path = dir.filePath(QStringLiteral("chinese.pdf"));
        QVERIFY(createPdfSlides(path, slidesJson({QJsonObject{
                                          {QStringLiteral("title"), title},
                                          {QStringLiteral("subtitle"), QStringLiteral("副标题")},
                                          {QStringLiteral("bullets"), QJsonArray{bullet}}}}))
                    .success);
        const QString text = pdfText(path);
        QVERIFY2(text.contains(title), qPrintable(text));
        QVERIFY2(text.contains(bullet), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("副标题")));
        QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[\\x{2F00}-\\x{2FDF}]"))));
    }

    void untitledSlidesAndLongDecksNeedNoRoom() {
        QJsonArray fifteen;
        for (int i = 1; i <= 15; ++i) {
            fifteen.append(QStringLiteral("Point%1").arg(i));
        }
        const QString path = dir.filePath(QStringLiteral("long.pdf"));
        const QString longTitle = QStringLiteral("Wide").repeated(40);
        QCOMPARE(
            createPdfSlides(path, slidesJson({QJsonObject{{QStringLiteral("bullets"), fifteen}},
                                              QJsonObject{{QStringLiteral("title"), longTitle}}}))
                .success,
            true);
        QVERIFY(pdfInfo(path).contains(QStringLiteral("1024 x 768 pts")));
        const QList<Word> first = wordsOfPage(path, 1);
        verifyBaseline(findWord(first, QStringLiteral("Slide")), 678, 40);
        verifyBaseline(findWord(first, QStringLiteral("Point15")), 618 - 14 * 40, 22);
        // One line, running past the right edge rather than wrapping.
        const QString text = QString::fromUtf8(
            runProgram(QStringLiteral("pdftotext"),
                       {QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"),
                        QStringLiteral("2"), QStringLiteral("-x"), QStringLiteral("0"),
                        QStringLiteral("-y"), QStringLiteral("0"), QStringLiteral("-W"),
                        QStringLiteral("4000"), QStringLiteral("-H"), QStringLiteral("768"), path,
                        QStringLiteral("-")})
                .output);
        QVERIFY2(text.contains(longTitle), qPrintable(text));
    }

    void badSlidesAreRefused_data() {
        QTest::addColumn<QString>("slides");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral(
            R"(Invalid slides JSON. Expected: [{"title":"...","bullets":["..."]},...])");
        QTest::newRow("object") << QStringLiteral("{}") << invalid;
        QTest::newRow("numbers") << QStringLiteral("[1]") << invalid;
        QTest::newRow("not JSON") << QStringLiteral("slides") << invalid;
        QTest::newRow("empty") << QStringLiteral("[]") << QStringLiteral("No slides provided");
    }
    void badSlidesAreRefused() {
        QFETCH(QString, slides);
        QFETCH(QString, message);
        const QString path = dir.filePath(QStringLiteral("refused.pdf"));
        QCOMPARE(createPdfSlides(path, slides),
                 (ToolOutcome{QStringLiteral("create_pdf_slides"), false, message}));
        QVERIFY(!QFile::exists(path));
    }

    void unwritableTargetCannotCreateTheContext() {
        QFile plain(dir.filePath(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const ToolOutcome expected{QStringLiteral("create_pdf_slides"), false,
                                   QStringLiteral("Cannot create PDF context")};
        QCOMPARE(createPdfSlides(dir.filePath(QStringLiteral("plain.txt/deck.pdf")),
                                 QStringLiteral("[{}]")),
                 expected);
        QCOMPARE(createPdfSlides(dir.path(), QStringLiteral("[{}]")), expected);
        QCOMPARE(createPdfSlides(QString(), QStringLiteral("[{}]")), expected);
        QCOMPARE(QFileInfo(plain.fileName()).size(), 0);

        if (geteuid() == 0) {
            QSKIP("root writes into read-only folders");
        }
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const ToolOutcome outcome =
            createPdfSlides(locked + QStringLiteral("/deck.pdf"), QStringLiteral("[{}]"));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        QCOMPARE(outcome, expected);
        QVERIFY(QDir(locked).isEmpty());
    }

    void existingFileIsReplacedAndParentsCreated() {
        const QString path = dir.filePath(QStringLiteral("new/folder/deck.pdf"));
        QVERIFY(createPdfSlides(path, QStringLiteral(R"([{"title":"First"}])")).success);
        QVERIFY(createPdfSlides(path, QStringLiteral(R"([{"title":"Second"},{}])")).success);
        const QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("Second")) && !text.contains(QStringLiteral("First")));
        QCOMPARE(
            QDir(dir.filePath(QStringLiteral("new/folder"))).entryList(QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("deck.pdf")});
    }

    void drawsOnAWorkerThread() {
        const QString path = dir.filePath(QStringLiteral("worker.pdf"));
        QFutureWatcher<ToolOutcome> watcher;
        QSignalSpy finished(&watcher, &QFutureWatcher<ToolOutcome>::finished);
        watcher.setFuture(QtConcurrent::run([path] {
            return createPdfSlides(path,
                                   QStringLiteral(R"([{"title":"Threaded","bullets":["中文"]}])"));
        }));
        QVERIFY(finished.wait(60000));
        QVERIFY(watcher.result().success);
        const QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("Threaded")) && text.contains(QStringLiteral("中文")));
    }
};

QTEST_MAIN(PdfSlidesWriterTest)
#include "tst_pdf_slides_writer.moc"
