// The OpenMP thread limit set by re-executing the program.

#include <QProcess>
#include <QtTest>

class OcrEnvironmentTest : public QObject {
    Q_OBJECT

    static QString probeOutput(const QProcessEnvironment& environment) {
        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.start(QStringLiteral(OCR_ENVIRONMENT_PROBE),
                    {QStringLiteral("one"), QStringLiteral("two words")});
        if (!probe.waitForFinished(30000) || probe.exitCode() != 0) {
            return {};
        }
        return QString::fromLocal8Bit(probe.readAllStandardOutput()).trimmed();
    }

private Q_SLOTS:
    void missingLimitIsSetToOneWithArgumentsKept() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("OMP_THREAD_LIMIT"));
        QCOMPARE(probeOutput(environment), QStringLiteral("1|one|two words"));
    }

    void limitChosenByTheUserIsKept() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("4"));
        QCOMPARE(probeOutput(environment), QStringLiteral("4|one|two words"));
    }
};

QTEST_GUILESS_MAIN(OcrEnvironmentTest)
#include "tst_ocr_environment.moc"
