// read_image on pictures of text drawn with QPainter, saved in each format
// (HEIC through heif-enc), and the recogniser's failures.

#include "reader_fixtures.h"
#include "tools/readers/image_reader.h"
#include "tools/readers/ocr_engine.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

namespace {

const QStringList twoLines{QStringLiteral("Quarterly report draft"),
                           QStringLiteral("Meeting moved to Friday")};

QImage englishImage() {
    return textImage(twoLines, QStringLiteral("DejaVu Sans"), 32);
}

ToolOutcome recognised(const QString& text) {
    return {{}, true, text};
}

} // namespace

class ImageReaderTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString save(const QImage& image, const QString& name, const char* format = nullptr) {
        const QString path = m_dir.filePath(name);
        return image.save(path, format) ? path : QString();
    }

private Q_SLOTS:
    void twoEnglishLinesInOrder() {
        QCOMPARE(readImage(save(englishImage(), QStringLiteral("lines.png"))),
                 recognised(twoLines.join(QLatin1Char('\n'))));
    }

    void everyDecodedFormatIsRead_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("JPEG") << "shot.jpg" << QByteArray("JPEG");
        QTest::newRow("BMP") << "shot.bmp" << QByteArray("BMP");
        QTest::newRow("WebP") << "shot.webp" << QByteArray("WEBP");
        QTest::newRow("TIFF") << "shot.tiff" << QByteArray("TIFF");
        QTest::newRow("PNG named .jpg") << "renamed.jpg" << QByteArray("PNG");
    }
    void everyDecodedFormatIsRead() {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        const QString path = save(englishImage(), name, format.constData());
        QVERIFY2(!path.isEmpty(), "Qt could not write the format");
        QCOMPARE(readImage(path), recognised(twoLines.join(QLatin1Char('\n'))));
    }

    void heicIsDecodedByLibheif() {
        const QString png = save(englishImage(), QStringLiteral("source.png"));
        const QString heic = m_dir.filePath(QStringLiteral("photo.heic"));
        QString errors;
        QCOMPARE(
            runTool(QStringLiteral("heif-enc"),
                    {QStringLiteral("-q"), QStringLiteral("90"), png, QStringLiteral("-o"), heic},
                    &errors),
            0);
        QCOMPARE(readImage(heic), recognised(twoLines.join(QLatin1Char('\n'))));
    }

    void transparentBackgroundReadsAsWhite() {
        QImage image(englishImage().size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(32);
        painter.setFont(font);
        painter.drawText(32, 64, twoLines[0]);
        painter.end();
        QCOMPARE(readImage(save(image, QStringLiteral("transparent.png"))),
                 recognised(twoLines[0]));
    }

    void simplifiedChinese() {
        // WenQuanYi renders what the Simplified model was trained on; the
        // language order makes the result Simplified, not Traditional.
        const QString line = QStringLiteral("简体中文识别测试");
        QCOMPARE(readImage(save(textImage({line}, QStringLiteral("WenQuanYi Micro Hei"), 64),
                                QStringLiteral("chinese.png"))),
                 recognised(line));
    }

    void blankImageHasNoText() {
        QImage blank(800, 600, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QCOMPARE(readImage(save(blank, QStringLiteral("blank.png"))),
                 recognised("(No text detected in image)"));
    }

    void undecodableFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("not an image\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        QTest::newRow("truncated HEIC") << QByteArray("\0\0\0\x18"
                                                      "ftypheic\0\0\0\0mif1heic",
                                                      24);
    }
    void undecodableFiles() {
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(QStringLiteral("broken.png"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        QCOMPARE(readImage(path), (ToolOutcome{{}, false, "Cannot read image: " + path}));
    }

    void phonePhotosAreRead_data() {
        QTest::addColumn<QByteArray>("format");
        // JPEG decodes straight at the reduced size; TIFF whole (195 MB), then scaled.
        QTest::newRow("48 MP JPEG") << QByteArray("jpeg");
        QTest::newRow("48 MP TIFF") << QByteArray("tiff");
    }
    void phonePhotosAreRead() {
        QFETCH(QByteArray, format);
        const QString path = m_dir.filePath(QStringLiteral("photo.") + QString::fromLatin1(format));
        QImageWriter writer(path, format);
        writer.setCompression(1); // LZW for TIFF; ignored by JPEG
        QVERIFY(writer.write(
            textImage(twoLines, QStringLiteral("DejaVu Sans"), 100, QSize(8064, 6048))));
        QCOMPARE(readImage(path), recognised(twoLines.join(QLatin1Char('\n'))));
    }

    void picturesBeyondTheLimitAreRefused() {
        // A TIFF header for a 20000 x 20000 grey picture, which TIFF decodes
        // whole (400 MB); the pixels themselves are never needed.
        const quint32 tags[][3] = {{256, 4, 20000}, {257, 4, 20000}, {258, 3, 8},
                                   {259, 3, 1},     {262, 3, 1},     {273, 4, 200},
                                   {277, 3, 1},     {278, 4, 20000}, {279, 4, 400000000}};
        QByteArray tiff("II*\0\x08\0\0\0", 8);
        QDataStream stream(&tiff, QIODevice::Append);
        stream.setByteOrder(QDataStream::LittleEndian);
        stream << quint16(std::size(tags));
        for (const auto& tag : tags) {
            stream << quint16(tag[0]) << quint16(tag[1]) << quint32(1) << tag[2];
        }
        stream << quint32(0);
        const QString path = m_dir.filePath(QStringLiteral("huge.tiff"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(tiff) == tiff.size());
        file.close();
        QCOMPARE(readImage(path),
                 (ToolOutcome{{},
                              false,
                              "Cannot read image: " + path +
                                  " (20000 \u00d7 20000 pixels, more than the 128 megapixels "
                                  "read_image decodes)"}));
    }

    void missingFile() {
        QCOMPARE(readImage(QStringLiteral("~/no-such.png")),
                 (ToolOutcome{{}, false, "File not found: ~/no-such.png"}));
        QCOMPARE(readImage(QString()), (ToolOutcome{{}, false, "File not found: "}));
    }

    void missingLanguageDataIsNamed() {
        QTemporaryDir empty;
        const OcrResult none = recogniseText(englishImage(), empty.path());
        QCOMPARE(none.status, OcrResult::Status::Failed);
        QCOMPARE(none.description,
                 QStringLiteral("Tesseract language data not found: chi_sim.traineddata, "
                                "chi_tra.traineddata, eng.traineddata, jpn.traineddata, "
                                "kor.traineddata (looked in %1/)")
                     .arg(empty.path()));

        // With some models present, only the missing ones are named.
        QTemporaryDir partial;
        QVERIFY(QFile::link(QStringLiteral("/usr/share/tesseract-ocr/5/tessdata/eng.traineddata"),
                            partial.filePath(QStringLiteral("eng.traineddata"))));
        const OcrResult some = recogniseText(englishImage(), partial.path());
        QCOMPARE(some.status, OcrResult::Status::Failed);
        QVERIFY2(
            some.description.startsWith("Tesseract language data not found: chi_sim.traineddata, "
                                        "chi_tra.traineddata, jpn.traineddata, kor.traineddata"),
            qPrintable(some.description));
    }

    void dataDirectoryFromTheEnvironment() {
        const QString path = save(englishImage(), QStringLiteral("env.png"));
        QVERIFY(readImage(path).success);
        QTemporaryDir empty;
        // The engine this thread already holds must not hide the change.
        qputenv("TESSDATA_PREFIX", QFile::encodeName(empty.path() + "/"));
        const ToolOutcome failed = readImage(path);
        qunsetenv("TESSDATA_PREFIX");
        QVERIFY(!failed.success);
        QVERIFY2(failed.output.startsWith(
                     "OCR failed: Tesseract language data not found: chi_sim.traineddata"),
                 qPrintable(failed.output));
        QVERIFY(failed.output.contains(empty.path()));
        // And once the data is back, recognition works again.
        QCOMPARE(readImage(path), recognised(twoLines.join(QLatin1Char('\n'))));
    }

    void workerThreadsRecogniseIndependently() {
        const QString english = save(englishImage(), QStringLiteral("a.png"));
        const QString digits =
            save(textImage({QStringLiteral("Invoice 20491")}, QStringLiteral("DejaVu Sans"), 32),
                 QStringLiteral("b.png"));
        QThreadPool pool;
        pool.setMaxThreadCount(2);
        QFuture<ToolOutcome> first = QtConcurrent::run(&pool, readImage, english);
        QFuture<ToolOutcome> second = QtConcurrent::run(&pool, readImage, digits);
        QCOMPARE(first.result(), recognised(twoLines.join(QLatin1Char('\n'))));
        QCOMPARE(second.result(), recognised("Invoice 20491"));
    }
};

QTEST_MAIN(ImageReaderTest)
#include "tst_image_reader.moc"
