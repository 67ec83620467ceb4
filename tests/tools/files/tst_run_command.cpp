// run_command with the real zsh: exact answers of commands run side by side,
// timeouts with a short limit, descendants that outlive the shell, output far
// larger than a pipe; and the pieces its answer is built from: the bounded
// UTF-8 capture of a stream and the combination rule.

#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/files/child_process.h"
#include "tools/files/command_output.h"
#include "tools/files/run_command.h"
#include "tools/files/utf8_text.h"

#include <QtConcurrent>
#include <QtTest>

#include <csignal>

using namespace std::chrono_literals;

namespace {

// Gone, or a zombie waiting for whoever adopted it.
bool processEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const qsizetype afterName = line.lastIndexOf(')');
    return afterName < 0 || line.mid(afterName + 2, 1) == "Z";
}

qint64 lastLineAsNumber(const QString& output) {
    return output.trimmed().section('\n', -1).toLongLong();
}

Utf8StreamCapture captureOf(const QList<QByteArray>& chunks, qsizetype kept = 1 << 20) {
    Utf8StreamCapture capture(kept);
    for (const QByteArray& chunk : chunks) {
        capture.append(chunk);
    }
    return capture;
}

struct Command {
    QString command;
    std::chrono::milliseconds timeout;
    bool success;
    QString output;
};

} // namespace

class RunCommandTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandsSideBySide() {
        qputenv("EMBERGLASS_PROBE", "two words");
        const QString nul = QString("echo safe") + QChar(0) + "; echo more";
        const QList<Command> commands{
            {"echo hi", 30s, true, "exit code: 0\nhi\n"},
            {"echo oops >&2; exit 1", 30s, false, "exit code: 1\n[stderr] oops\n"},
            {"true", 30s, true, "exit code: 0\n(no output)"},
            {"echo out; echo err >&2", 30s, true, "exit code: 0\nout\n\n[stderr] err\n"},
            {"printf '\\377'; echo e >&2", 30s, true, "exit code: 0\n[stderr] e\n"},
            {"exit 42", 30s, false, "exit code: 42\n(no output)"},
            {"kill -KILL $$", 30s, false, "exit code: 9\n(no output)"},
            {"print -rn -- '你好 🌍'", 30s, true, "exit code: 0\n你好 🌍"},
            {"", 30s, false, "Command cannot be empty"},
            // zsh would receive only what comes before the NUL.
            {nul, 30s, false, systemError(EINVAL)},
            {"pwd; print -r -- \"$EMBERGLASS_PROBE\"; print -r -- ~", 30s, true,
             QStringLiteral("exit code: 0\n%1\ntwo words\n%2\n")
                 .arg(QDir::currentPath(), QDir::homePath())},
            {"sleep 0.2; echo 1; echo e1 >&2", 30s, true, "exit code: 0\n1\n\n[stderr] e1\n"},
            {"sleep 0.2; echo 2; echo e2 >&2", 30s, true, "exit code: 0\n2\n\n[stderr] e2\n"},
            // Timeouts: the shell catching the signal and exiting 0, or stopped,
            // is still a timeout and a failure.
            {"sleep 60", 1s, false, "exit code: 15\n(no output)"},
            {"echo started; sleep 60", 1s, false, "exit code: 15\nstarted\n"},
            {"trap 'exit 0' TERM; sleep 60 & wait", 1s, false, "exit code: 15\n(no output)"},
            {"kill -STOP $$", 1s, false, "exit code: 15\n(no output)"}};
        QThreadPool pool;
        pool.setMaxThreadCount(int(commands.size()));
        QFuture<ToolOutcome> outcomes = QtConcurrent::mapped(
            &pool, commands, [](const Command& c) { return runCommand(c.command, c.timeout); });

        // Meanwhile: a shell ignoring termination is killed with its children.
        const ToolOutcome ignoring = runCommand("trap '' TERM; sleep 60 & echo $!; wait", 1s);
        QVERIFY2(!ignoring.success && ignoring.output.startsWith("exit code: 15\n"),
                 qPrintable(ignoring.output));
        const qint64 sleeper = lastLineAsNumber(ignoring.output);
        QVERIFY(sleeper > 0);
        QTRY_VERIFY(processEnded(sleeper));

        outcomes.waitForFinished();
        qunsetenv("EMBERGLASS_PROBE");
        for (qsizetype i = 0; i < commands.size(); ++i) {
            const Command& c = commands[i];
            QVERIFY2(outcomes.resultAt(i) == (ToolOutcome{"run_command", c.success, c.output}),
                     qPrintable(c.command + " gave " + outcomes.resultAt(i).output.left(200)));
        }
    }

    void aBackgroundChildHoldingThePipesDoesNotHoldTheAnswer() {
        // Far longer than the suite's own time limit, so waiting for it would fail.
        const ToolOutcome outcome = runCommand("sleep 1000 & echo $!");
        const qint64 sleeper = lastLineAsNumber(outcome.output);
        QCOMPARE(outcome, (ToolOutcome{"run_command", true,
                                       QStringLiteral("exit code: 0\n%1\n").arg(sleeper)}));
        // A command's background job is the user's: it keeps running.
        QVERIFY(!processEnded(sleeper));
        ::kill(static_cast<pid_t>(sleeper), SIGKILL);
    }

    void largeOutputIsDrainedAndCut_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        const QString truncated = "\n[... truncated]";
        QTest::newRow("50 MB on standard output")
            << "head -c 52428800 /dev/zero | tr '\\0' a"
            << "exit code: 0\n" + QString(100000, 'a') + truncated;
        QTest::newRow("10 MB on standard error before a line of output")
            << "head -c 10485760 /dev/zero | tr '\\0' b >&2; echo done"
            << "exit code: 0\ndone\n\n[stderr] " + QString(100000 - 15, 'b') + truncated;
    }
    void largeOutputIsDrainedAndCut() {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        const ToolOutcome outcome = runCommand(command);
        QCOMPARE(outcome.output.size(), expected.size());
        QCOMPARE(outcome.output, expected);
    }

    void aChildThatCannotStartIsReported() {
        const auto ignore = [](QByteArrayView) {};
        const QString missing = QString::fromLocal8Bit(std::strerror(ENOENT));
        QCOMPARE(runChildProcess({"/nonexistent/program", {}, {}, std::nullopt}, ignore, ignore)
                     .startError,
                 missing);
        QCOMPARE(
            runChildProcess({"/bin/true", {}, "/nonexistent/dir", std::nullopt}, ignore, ignore)
                .startError,
            missing);
    }

    void streamValidity_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ascii") << QList<QByteArray>{"abc", "def"} << true;
        QTest::newRow("two-byte split") << QList<QByteArray>{"caf\xc3", "\xa9!"} << true;
        QTest::newRow("four-byte split thrice")
            << QList<QByteArray>{"\xf0", "\x9f", "\x8c", "\x8d"} << true;
        QTest::newRow("ends inside a character") << QList<QByteArray>{"ok", "\xe4\xbd"} << false;
        QTest::newRow("stray continuation") << QList<QByteArray>{"ok", "\x80"} << false;
        QTest::newRow("overlong split") << QList<QByteArray>{"\xc0", "\xaf"} << false;
        QTest::newRow("surrogate split") << QList<QByteArray>{"\xed", "\xa0\x80"} << false;
        QTest::newRow("beyond U+10FFFF") << QList<QByteArray>{"\xf4\x90", "\x80\x80"} << false;
        QTest::newRow("invalid then valid") << QList<QByteArray>{"\xff", "fine"} << false;
        QTest::newRow("nothing") << QList<QByteArray>{} << true;
        QList<QByteArray> bytes; // fed one byte at a time
        for (char byte : QByteArray("Grüße, 世界! 🌍🇫🇷 e\u0301")) {
            bytes.append(QByteArray(1, byte));
        }
        QTest::newRow("byte by byte") << bytes << true;
    }
    void streamValidity() {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(bool, valid);
        const Utf8StreamCapture capture = captureOf(chunks);
        QCOMPARE(capture.isValidUtf8(), valid);
        QCOMPARE(capture.text(), valid ? QString::fromUtf8(chunks.join()) : QString());
    }

    void aCappedStreamKeepsWholeCharactersAndCountsEverything() {
        const Utf8StreamCapture capture = captureOf({"aaaa\xc3\xa9", "more", "\xff"}, 5);
        QVERIFY(capture.isCapped());
        QCOMPARE(capture.totalBytes(), 11);
        // The invalid byte far past the cap still counts.
        QVERIFY(!capture.isValidUtf8());
        QCOMPARE(captureOf({"aaaa\xc3\xa9", "more"}, 5).text(), "aaaa");
        // The output runs on beyond what was kept; standard error comes after all of it.
        QCOMPARE(combineCommandOutput(captureOf({QByteArray(300000, 'o')}, 200000),
                                      captureOf({"err"}), 100000),
                 QString(100000, 'o') + "\n[... truncated]");
    }

    void firstCharactersNeverSplitsWhatUsersSeeAsOne() {
        const QString decomposed = "e\u0301";
        QCOMPARE(firstCharacters(decomposed.repeated(3), 2), decomposed.repeated(2));
        QCOMPARE(firstCharacters("🌍🌍🌍", 1), "🌍");
        QCOMPARE(firstCharacters("🇫🇷🇩🇪", 1), "🇫🇷");
        QCOMPARE(firstCharacters("abc", 5), "abc");
        QCOMPARE(firstCharacters("abc", 0), QString());
    }

    void combination_data() {
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing") << QByteArray() << QByteArray() << "(no output)";
        QTest::newRow("output only") << QByteArray("hi\n") << QByteArray() << "hi\n";
        QTest::newRow("error only") << QByteArray() << QByteArray("bad\n") << "[stderr] bad\n";
        QTest::newRow("both") << QByteArray("out") << QByteArray("err") << "out\n[stderr] err";
        QTest::newRow("invalid output counts as empty")
            << QByteArray("\xff\xfe") << QByteArray("err") << "[stderr] err";
        QTest::newRow("both invalid") << QByteArray("\xff") << QByteArray("\xc3") << "(no output)";
        // "o", the line break and the label take 11 bytes: 99989 more make exactly the limit.
        QTest::newRow("exactly the limit with the label")
            << QByteArray("o") << QByteArray(99989, 'e') << "o\n[stderr] " + QString(99989, 'e');
        QTest::newRow("one byte past with the label")
            << QByteArray("o") << QByteArray(99990, 'e')
            << "o\n[stderr] " + QString(99989, 'e') + "\n[... truncated]";
        // 60000 two-byte characters: over the byte limit, under the character limit.
        QTest::newRow("bytes over, characters under")
            << QString("é").repeated(60000).toUtf8() << QByteArray()
            << QString("é").repeated(60000) + "\n[... truncated]";
        QTest::newRow("characters over") << QString("🌍").repeated(100001).toUtf8() << QByteArray()
                                         << QString("🌍").repeated(100000) + "\n[... truncated]";
    }
    void combination() {
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(QString, expected);
        QCOMPARE(combineCommandOutput(captureOf({out}), captureOf({err}), 100000), expected);
    }
};

QTEST_GUILESS_MAIN(RunCommandTest)
#include "tst_run_command.moc"
