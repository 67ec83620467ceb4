// read_image on pictures of text drawn with QPainter, saved in each format
// (HEIC through heif-enc), the recogniser's failures, and a recogniser that
// hangs, ended by the time limit or Stop.

#include "office_files.h"
#include "support/json_rows.h"
#include "support/scoped_environment.h"
#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/readers/image_reader.h"
#include "tools/readers/ocr_engine.h"
#include "tools/tool_stop.h"

#include <QImageWriter>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QStringList twoLines{"Quarterly report draft", "Meeting moved to Friday"};

QImage englishImage() {
    return textImage(twoLines, "DejaVu Sans", 32);
}

ToolOutcome recognised(const QString& text = twoLines.join('\n'), bool success = true) {
    return {{}, success, text};
}

ToolOutcome refused(const QString& text) {
    return recognised(text, false);
}

const QString installedData = "/usr/share/tesseract-ocr/5/tessdata/";

// The recognition helpers this process runs now, by process id.
QList<int> recognisers() {
    QList<int> found;
    const QString parent = QString::number(QCoreApplication::applicationPid());
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // "pid (comm) state ppid ...": the name may hold spaces, the rest does not.
        const QString line = QString::fromUtf8(stat.readAll());
        const QStringList rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (line.contains("(emberglass-ocr)") && rest.value(1) == parent) {
            found << entry.toInt();
        }
    }
    return found;
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
    // Rows: the lines drawn (two English ones unless given), how, and the format saved in.
    // JPEG decodes a 48 MP photo straight at the reduced size; TIFF whole (195 MB, past
    // Qt's own allocation limit), then scaled. A transparent black background would read
    // as black on black to a reader ignoring alpha. WenQuanYi renders what the Simplified
    // model was trained on; the language order makes the result Simplified, not Traditional.
    void picturesAreRead_data() { addJsonRows("tools/readers.json", "pictures"); }
    void picturesAreRead() {
        QFETCH(QJsonObject, row);
        const QStringList lines = row.contains("lines") ? jsonTexts(row["lines"]) : twoLines;
        const QJsonArray size = row["size"].toArray();
        const QString path =
            save(textImage(lines, row["family"].toString("DejaVu Sans"), row["pixelSize"].toInt(32),
                           QSize(size[0].toInt(), size[1].toInt()),
                           QColor(row["background"].toString("white"))),
                 row["name"].toString(), qPrintable(row["format"].toString()));
        QCOMPARE(readImage(path), recognised(row["text"].toString(lines.join('\n'))));
    }

    // A TIFF is decoded whole: the header for 20000 x 20000 pixels (400 MB) is refused
    // before any pixel is needed.
    void undecodableFiles_data() { addJsonRows("tools/readers.json", "undecodableImages"); }
    void undecodableFiles() {
        QFETCH(QJsonObject, row);
        const QString path = m_dir.filePath("broken.png");
        QVERIFY(writeBytes(path, jsonBytes(row["bytes"])));
        QCOMPARE(readImage(path), refused("Cannot read image: " + path + row["why"].toString()));
    }

    // A HEIC photo (libheif decodes it), then the language data looked for where
    // TESSDATA_PREFIX says, afresh on each read (each read is a helper of its own);
    // only missing models are named.
    void heicThenMissingLanguageDataIsNamed() {
        const QString path = save(englishImage(), "env.png");
        const QString heic = m_dir.filePath("photo.heic");
        QCOMPARE(runProgram("heif-enc", {"-q", "90", path, "-o", heic}).exitCode, 0);
        QCOMPARE(readImage(heic), recognised());
        QTemporaryDir partial;
        QVERIFY(
            QFile::link(installedData + "eng.traineddata", partial.filePath("eng.traineddata")));
        const ToolOutcome failed = [&] {
            const ScopedEnvironment data("TESSDATA_PREFIX",
                                         QFile::encodeName(partial.path() + "/"));
            return readImage(path);
        }();
        QCOMPARE(failed,
                 refused("OCR failed: Tesseract language data not found: chi_sim.traineddata, "
                         "chi_tra.traineddata, jpn.traineddata, kor.traineddata (looked in " +
                         partial.path() + "/)"));
    }

    // Tesseract stuck on its language data (a FIFO nobody writes to, read as
    // the first model) is ended at the time limit, or at once by Stop; no
    // recogniser is left running either way.
    void aStuckRecogniserEndsAtTheLimitOrOnStop() {
        const QString path = save(englishImage(), "stuck.png");
        QTemporaryDir data;
        for (const QString& language : QString(ocrLanguages).split('+')) {
            const QString file = data.filePath(language + ".traineddata");
            QVERIFY(language == "chi_sim"
                        ? ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0
                        : QFile::link(installedData + language + ".traineddata", file));
        }
        const ScopedEnvironment prefix("TESSDATA_PREFIX", QFile::encodeName(data.path() + "/"));
        const ToolOutcome late = readImage(path, nullptr, std::chrono::seconds(1));
        QCOMPARE(recognisers(), QList<int>());
        ToolStop stop;
        QFuture<ToolOutcome> stopped = QtConcurrent::run([&] { return readImage(path, &stop); });
        QTRY_COMPARE(recognisers().size(), 1);
        stop.request();
        stopped.waitForFinished();
        QCOMPARE(late, refused("Error: Reading " + path + " took longer than 1 seconds"));
        QCOMPARE(stopped.result(), refused("Error: Reading " + path + " was stopped by the user"));
        QCOMPARE(recognisers(), QList<int>());
    }

    // Recognition stays on its caller's thread: OpenMP teams would take the cores from the window.
    void recognitionStaysOnItsThread() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("OMP_THREAD_LIMIT");
        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.start(OCR_THREADS_PROBE);
        QVERIFY(probe.waitForFinished(120000) && probe.exitCode() == 0);
        // "threads-before threads-after recognised-text"
        const QStringList result = QString(probe.readAllStandardOutput()).trimmed().split(' ');
        QCOMPARE(result.mid(2).join(' '), "Threads at work");
        QCOMPARE(result[1], result[0]);
    }
};

QTEST_MAIN(ImageReaderTest)
#include "tst_image_reader.moc"
