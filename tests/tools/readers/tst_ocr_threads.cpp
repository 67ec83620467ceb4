// Recognition stays on its caller's thread unless the user set an OpenMP
// limit: the probe counts the process's threads around one recognition.

#include <QProcess>
#include <QtTest>

class OcrThreadsTest : public QObject {
    Q_OBJECT

    // "threads-before threads-after recognised-text"
    static QStringList probe(const QProcessEnvironment& environment) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(OCR_THREADS_PROBE));
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            return {};
        }
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    }

private Q_SLOTS:
    void recognitionStartsNoThreads() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("OMP_THREAD_LIMIT"));
        const QStringList result = probe(environment);
        QCOMPARE(result.size(), 5);
        QCOMPARE(result.mid(2).join(QLatin1Char(' ')), QStringLiteral("Threads at work"));
        QCOMPARE(result[1], result[0]);
    }

    void limitChosenByTheUserIsKept() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("3"));
        const QStringList result = probe(environment);
        QCOMPARE(result.size(), 5);
        QCOMPARE(result[1].toInt(), result[0].toInt() + 2);
    }
};

QTEST_GUILESS_MAIN(OcrThreadsTest)
#include "tst_ocr_threads.moc"
