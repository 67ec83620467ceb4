// read_image on pictures of text drawn with QPainter, saved in each format
// (HEIC through heif-enc), and the recogniser's failures.

#include "office_files.h"
#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/readers/image_reader.h"

#include <QImageWriter>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

namespace {

const QStringList twoLines{"Quarterly report draft", "Meeting moved to Friday"};

QImage englishImage(int pixelSize = 32, QSize size = {}) {
    return textImage(twoLines, "DejaVu Sans", pixelSize, size);
}

ToolOutcome recognised(const QString& text = twoLines.join('\n')) {
    return {{}, true, text};
}

} // namespace

class ImageReaderTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString save(const QImage& image, const QString& name, const char* format = nullptr) {
        QImageWriter writer(m_dir.filePath(name), format);
        writer.setCompression(1); // LZW for TIFF; ignored by the others
        return writer.write(image) ? writer.fileName() : QString();
    }

private Q_SLOTS:
    // JPEG decodes a 48 MP photo straight at the reduced size; TIFF whole
    // (195 MB, past Qt's own allocation limit), then scaled.
    void picturesAreRead_data() {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QString>("text");
        for (const char* format : {"PNG", "JPEG", "BMP", "WEBP", "TIFF"}) {
            QTest::newRow(format) << englishImage() << QString("shot.") + format
                                  << QByteArray(format) << twoLines.join('\n');
        }
        QTest::newRow("PNG named .jpg")
            << englishImage() << "renamed.jpg" << QByteArray("PNG") << twoLines.join('\n');
        // Drawn in the test itself, so that only one such picture is held at a time.
        for (const char* format : {"JPEG", "TIFF"}) {
            QTest::addRow("48 MP %s", format) << QImage() << QString("photo.") + format
                                              << QByteArray(format) << twoLines.join('\n');
        }
        // Transparent black, so that a reader ignoring alpha would see black on black.
        const QImage transparent =
            textImage({twoLines[0]}, "DejaVu Sans", 32, {}, QColor(0, 0, 0, 0));
        QTest::newRow("transparent background reads as white")
            << transparent << "transparent.png" << QByteArray("PNG") << twoLines[0];
        // WenQuanYi renders what the Simplified model was trained on; the
        // language order makes the result Simplified, not Traditional.
        QTest::newRow("Simplified Chinese")
            << textImage({"简体中文识别测试"}, "WenQuanYi Micro Hei", 64) << "chinese.png"
            << QByteArray("PNG") << "简体中文识别测试";
        QImage blank(800, 600, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QTest::newRow("blank") << blank << "blank.png" << QByteArray("PNG")
                               << "(No text detected in image)";
    }
    void picturesAreRead() {
        QFETCH(QImage, image);
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(QString, text);
        const QString path =
            save(image.isNull() ? englishImage(100, QSize(8064, 6048)) : image, name, format);
        QVERIFY2(!path.isEmpty(), "Qt could not write the format");
        QCOMPARE(readImage(path), recognised(text));
    }

    void heicIsDecodedByLibheif() {
        const QString heic = m_dir.filePath("photo.heic");
        QCOMPARE(
            runProgram("heif-enc", {"-q", "90", save(englishImage(), "source.png"), "-o", heic})
                .exitCode,
            0);
        QCOMPARE(readImage(heic), recognised());
    }

    void undecodableFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("why");
        QTest::newRow("text") << QByteArray("not an image\n") << QString();
        QTest::newRow("truncated PNG")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << QString();
        QTest::newRow("truncated HEIC") << QByteArray("\0\0\0\x18"
                                                      "ftypheic\0\0\0\0mif1heic",
                                                      24)
                                        << QString();
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
        QTest::newRow("beyond the limit")
            << tiff
            << " (20000 \u00d7 20000 pixels, more than the 128 megapixels read_image decodes)";
    }
    void undecodableFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        const QString path = m_dir.filePath("broken.png");
        QVERIFY(writeBytes(path, content));
        QCOMPARE(readImage(path), (ToolOutcome{{}, false, "Cannot read image: " + path + why}));
        QCOMPARE(readImage("~/no-such.png"),
                 (ToolOutcome{{}, false, "File not found: ~/no-such.png"}));
    }

    // Looked for where TESSDATA_PREFIX says, afresh on each read (the engine this
    // thread already holds must not hide the change); only missing models are named.
    void missingLanguageDataIsNamed() {
        const QString path = save(englishImage(), "env.png");
        QVERIFY(readImage(path).success);
        QTemporaryDir partial;
        QVERIFY(QFile::link("/usr/share/tesseract-ocr/5/tessdata/eng.traineddata",
                            partial.filePath("eng.traineddata")));
        qputenv("TESSDATA_PREFIX", QFile::encodeName(partial.path() + "/"));
        const ToolOutcome failed = readImage(path);
        qunsetenv("TESSDATA_PREFIX");
        QCOMPARE(failed, (ToolOutcome{{},
                                      false,
                                      "OCR failed: Tesseract language data not found: "
                                      "chi_sim.traineddata, chi_tra.traineddata, jpn.traineddata, "
                                      "kor.traineddata (looked in " +
                                          partial.path() + "/)"}));
        // And once the data is back, recognition works again, on two threads at once.
        const QString digits = save(textImage({"Invoice 20491"}, "DejaVu Sans", 32), "b.png");
        QThreadPool pool;
        pool.setMaxThreadCount(2);
        QFuture<ToolOutcome> first = QtConcurrent::run(&pool, readImage, path);
        QFuture<ToolOutcome> second = QtConcurrent::run(&pool, readImage, digits);
        QCOMPARE(first.result(), recognised());
        QCOMPARE(second.result(), recognised("Invoice 20491"));
    }

    // Recognition stays on its caller's thread unless the user set an OpenMP limit.
    void threadsOnlyWhenTheUserAsks() {
        for (const auto& [limit, newThreads] : {std::pair{"", 0}, std::pair{"3", 2}}) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove("OMP_THREAD_LIMIT");
            if (*limit != '\0') {
                environment.insert("OMP_THREAD_LIMIT", limit);
            }
            QProcess probe;
            probe.setProcessEnvironment(environment);
            probe.start(OCR_THREADS_PROBE);
            QVERIFY(probe.waitForFinished(120000) && probe.exitCode() == 0);
            // "threads-before threads-after recognised-text"
            const QStringList result = QString(probe.readAllStandardOutput()).trimmed().split(' ');
            QCOMPARE(result.mid(2).join(' '), "Threads at work");
            QCOMPARE(result[1].toInt(), result[0].toInt() + newThreads);
        }
    }
};

QTEST_MAIN(ImageReaderTest)
#include "tst_image_reader.moc"
