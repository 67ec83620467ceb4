// run_command with the real zsh: exact answers, timeouts with a short limit,
// descendants that outlive the shell, and output far larger than a pipe.

#include "tools/files/child_process.h"
#include "tools/files/run_command.h"

#include "file_fixtures.h"

#include <QDir>
#include <QFile>
#include <QtConcurrent>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>

using namespace std::chrono_literals;

namespace {

ToolOutcome commandResult(bool success, const QString& output) {
    return {QStringLiteral("run_command"), success, output};
}

// Gone, or a zombie waiting for whoever adopted it.
bool processEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return true;
    }
    const QByteArray line = stat.readAll();
    const qsizetype afterName = line.lastIndexOf(')');
    return afterName < 0 || line.mid(afterName + 2, 1) == "Z";
}

qint64 lastLineAsNumber(const QString& output) {
    return output.trimmed().section(QLatin1Char('\n'), -1).toLongLong();
}

} // namespace

class RunCommandTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answers_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("success");
        QTest::addColumn<QString>("output");
        QTest::newRow("echo") << QStringLiteral("echo hi") << true
                              << QStringLiteral("exit code: 0\nhi\n");
        QTest::newRow("stderr only, exit 1") << QStringLiteral("echo oops >&2; exit 1") << false
                                             << QStringLiteral("exit code: 1\n[stderr] oops\n");
        QTest::newRow("true") << QStringLiteral("true") << true
                              << QStringLiteral("exit code: 0\n(no output)");
        QTest::newRow("both streams") << QStringLiteral("echo out; echo err >&2") << true
                                      << QStringLiteral("exit code: 0\nout\n\n[stderr] err\n");
        QTest::newRow("output not UTF-8") << QStringLiteral("printf '\\377'; echo e >&2") << true
                                          << QStringLiteral("exit code: 0\n[stderr] e\n");
        QTest::newRow("exit code")
            << QStringLiteral("exit 42") << false << QStringLiteral("exit code: 42\n(no output)");
        QTest::newRow("killed by a signal") << QStringLiteral("kill -KILL $$") << false
                                            << QStringLiteral("exit code: 9\n(no output)");
        QTest::newRow("multi-byte text") << QStringLiteral("print -rn -- '你好 🌍'") << true
                                         << QStringLiteral("exit code: 0\n你好 🌍");
        QTest::newRow("empty") << QString() << false << QStringLiteral("Command cannot be empty");
        // zsh would receive only what comes before the NUL.
        QTest::newRow("NUL inside")
            << QStringLiteral("echo safe") + QChar(0) + QStringLiteral("; echo more") << false
            << QStringLiteral("Error: ") + QString::fromLocal8Bit(std::strerror(EINVAL));
    }
    void answers() {
        QFETCH(QString, command);
        QFETCH(bool, success);
        QFETCH(QString, output);
        QCOMPARE(runCommand(command), commandResult(success, output));
    }

    void runsInTheApplicationsDirectoryAndEnvironment() {
        qputenv("EMBERGLASS_PROBE", "two words");
        QCOMPARE(runCommand(QStringLiteral("pwd; print -r -- \"$EMBERGLASS_PROBE\"; print -r -- ~"))
                     .output,
                 QStringLiteral("exit code: 0\n%1\ntwo words\n%2\n")
                     .arg(QDir::currentPath(), QDir::homePath()));
        qunsetenv("EMBERGLASS_PROBE");
    }

    void timeoutEndsTheCommand_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("output");
        QTest::newRow("sleep") << QStringLiteral("sleep 60")
                               << QStringLiteral("exit code: 15\n(no output)");
        QTest::newRow("output before the timeout") << QStringLiteral("echo started; sleep 60")
                                                   << QStringLiteral("exit code: 15\nstarted\n");
        // The shell catches the signal and exits 0: still a timeout, still a failure.
        QTest::newRow("shell exits cleanly on the signal")
            << QStringLiteral("trap 'exit 0' TERM; sleep 60 & wait")
            << QStringLiteral("exit code: 15\n(no output)");
        QTest::newRow("stopped shell")
            << QStringLiteral("kill -STOP $$") << QStringLiteral("exit code: 15\n(no output)");
    }
    void timeoutEndsTheCommand() {
        QFETCH(QString, command);
        QFETCH(QString, output);
        QCOMPARE(runCommand(command, 1s), commandResult(false, output));
    }

    void aShellIgnoringTerminationIsKilledWithItsChildren() {
        const ToolOutcome outcome =
            runCommand(QStringLiteral("trap '' TERM; sleep 60 & echo $!; wait"), 1s);
        QVERIFY(!outcome.success);
        QVERIFY2(outcome.output.startsWith(QStringLiteral("exit code: 15\n")),
                 qPrintable(outcome.output));
        const qint64 sleeper = lastLineAsNumber(outcome.output);
        QVERIFY(sleeper > 0);
        QTRY_VERIFY(processEnded(sleeper));
    }

    void aBackgroundChildHoldingThePipesDoesNotHoldTheAnswer() {
        // Far longer than the suite's own time limit, so waiting for it would fail.
        const ToolOutcome outcome = runCommand(QStringLiteral("sleep 1000 & echo $!"));
        QVERIFY(outcome.success);
        const qint64 sleeper = lastLineAsNumber(outcome.output);
        QCOMPARE(outcome.output, QStringLiteral("exit code: 0\n%1\n").arg(sleeper));
        // A command's background job is the user's: it keeps running.
        QVERIFY(!processEnded(sleeper));
        ::kill(static_cast<pid_t>(sleeper), SIGKILL);
    }

    void largeOutputIsDrainedAndCut_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        const QString truncated = QStringLiteral("\n[... truncated]");
        QTest::newRow("50 MB on standard output")
            << QStringLiteral("head -c 52428800 /dev/zero | tr '\\0' a")
            << QStringLiteral("exit code: 0\n") + QString(100000, QLatin1Char('a')) + truncated;
        QTest::newRow("10 MB on standard error before a line of output")
            << QStringLiteral("head -c 10485760 /dev/zero | tr '\\0' b >&2; echo done")
            << QStringLiteral("exit code: 0\ndone\n\n[stderr] ") +
                   QString(100000 - 15, QLatin1Char('b')) + truncated;
        QTest::newRow("bytes over the limit, characters under")
            << QStringLiteral("repeat 60000 print -rn -- é")
            << QStringLiteral("exit code: 0\n") + QStringLiteral("é").repeated(60000) + truncated;
        QTest::newRow("characters over the limit")
            << QStringLiteral("repeat 100001 print -rn -- é")
            << QStringLiteral("exit code: 0\n") + QStringLiteral("é").repeated(100000) + truncated;
        QTest::newRow("exactly the limit")
            << QStringLiteral("repeat 100000 print -rn -- x")
            << QStringLiteral("exit code: 0\n") + QString(100000, QLatin1Char('x'));
    }
    void largeOutputIsDrainedAndCut() {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        const ToolOutcome outcome = runCommand(command);
        QCOMPARE(outcome.output.size(), expected.size());
        QCOMPARE(outcome.output, expected);
    }

    void commandsOnSeveralThreadsAtOnce() {
        const QList<int> numbers{1, 2, 3, 4, 5, 6};
        const QList<ToolOutcome> outcomes = QtConcurrent::blockingMapped(numbers, [](int n) {
            return runCommand(QStringLiteral("sleep 0.2; echo %1; echo e%1 >&2").arg(n));
        });
        for (int n : numbers) {
            QCOMPARE(outcomes[n - 1].output,
                     QStringLiteral("exit code: 0\n%1\n\n[stderr] e%1\n").arg(n));
        }
    }

    void aChildThatCannotStartIsReported() {
        const auto ignore = [](QByteArrayView) {};
        const ChildProcessResult missingProgram = runChildProcess(
            {QStringLiteral("/nonexistent/program"), {}, QString(), std::nullopt}, ignore, ignore);
        QCOMPARE(missingProgram.startError, QString::fromLocal8Bit(std::strerror(ENOENT)));
        const ChildProcessResult missingDirectory = runChildProcess(
            {QStringLiteral("/bin/true"), {}, QStringLiteral("/nonexistent/dir"), std::nullopt},
            ignore, ignore);
        QCOMPARE(missingDirectory.startError, QString::fromLocal8Bit(std::strerror(ENOENT)));
    }
};

QTEST_GUILESS_MAIN(RunCommandTest)
#include "tst_run_command.moc"
