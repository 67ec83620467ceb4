// read_file, write_file, list_directory, search_files (with the real grep) and
// run_command (with the real zsh) against real files in temporary directories
// and the sandboxed home the test runner sets for "~"; and the pieces a
// command's answer is built from: the bounded UTF-8 capture of a stream and the
// combination rule.

#include "support/json_rows.h"
#include "support/scoped_environment.h"
#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/files/child_process.h"
#include "tools/files/command_output.h"
#include "tools/files/file_tools.h"
#include "tools/files/run_command.h"
#include "tools/files/search_files.h"
#include "tools/files/utf8_text.h"
#include "tools/tool_stop.h"

#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// Bytes as [text, times] pieces, so that long runs stay readable in the rows.
QByteArray piecesOf(const QJsonValue& pieces) {
    QByteArray bytes;
    for (const QJsonValue& piece : pieces.toArray()) {
        bytes += jsonBytes(piece[0]).repeated(piece[1].toInt(1));
    }
    return bytes;
}

ToolOutcome found(const QString& output) {
    return {"search_files", true, output};
}

// Gone, or a zombie waiting for whoever adopted it.
bool processEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const qsizetype afterName = line.lastIndexOf(')');
    return afterName < 0 || line.mid(afterName + 2, 1) == "Z";
}

Utf8StreamCapture captureOf(const QList<QByteArray>& chunks) {
    Utf8StreamCapture capture(1 << 20);
    for (const QByteArray& chunk : chunks) {
        capture.append(chunk);
    }
    return capture;
}

} // namespace

class FileToolsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void readFileAroundTheLimit_data() { addJsonRows("tools/files.json", "reads"); }
    void readFileAroundTheLimit() {
        QFETCH(QJsonObject, row);
        QVERIFY(writeBytes(path("read.bin"), piecesOf(row["bytes"])));
        QCOMPARE(readFile(path("read.bin")),
                 (ToolOutcome{"read_file", true, QString::fromUtf8(piecesOf(row["expected"]))}));
    }

    void readFileOfUnusualSizesAndKinds() {
        // Sparse, so nothing is written; only the first bytes may be read.
        QFile big(path("sparse.bin"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(5LL * 1024 * 1024 * 1024));
        big.close();
        QCOMPARE(readFile(big.fileName()).output,
                 QString(100000, QChar(0)) + "\n\n[... truncated, file is 5368709120 bytes total]");
        big.remove();
        // The kernel's files report size 0 yet have content.
        const ToolOutcome status = readFile("/proc/self/status");
        QVERIFY2(status.success && status.output.startsWith("Name:"), qPrintable(status.output));
    }

    void writeFileReportsUtf8Bytes_data() { addJsonRows("tools/files.json", "writes"); }
    void writeFileReportsUtf8Bytes() {
        QFETCH(QJsonObject, row);
        const QString content = row["content"].toString();
        // Each row under directories that do not exist yet.
        const QString target = path("new/%1/deeper/out.txt").arg(QTest::currentDataTag());
        QCOMPARE(
            writeFile(target, content),
            (ToolOutcome{
                "write_file", true,
                QStringLiteral("Written %1 bytes to %2").arg(row["bytes"].toInt()).arg(target)}));
        QCOMPARE(readBytes(target), content.toUtf8());
    }

    void tildePathsUseTheHomeAndQuoteTheArgument() {
        QCOMPARE(writeFile("~/notes/today.md", "needle"),
                 (ToolOutcome{"write_file", true, "Written 6 bytes to ~/notes/today.md"}));
        const QString notes = QDir::homePath() + "/notes";
        QCOMPARE(readBytes(notes + "/today.md"), "needle");
        QCOMPARE(listDirectory("~/notes").output, "today.md");
        QCOMPARE(searchFiles("~/notes", "needle"), found(notes + "/today.md"));
        QCOMPARE(readFile("~/notes/none.md").output, "File not found: ~/notes/none.md");
        QVERIFY(QDir(notes).removeRecursively());
    }

    void listDirectoryOrder() {
        // Capitals before small letters; hidden names listed; links shown as what
        // they point to; names compared by code point after composition, so a
        // decomposed é (e + U+0301) sorts as U+00E9, after "f", and U+FF5E before
        // an emoji (whose UTF-16 units would sort first).
        QTemporaryDir dir;
        QCOMPARE(listDirectory(dir.path()),
                 (ToolOutcome{"list_directory", true, "(empty directory)"}));
        const QJsonObject listing = jsonTable("tools/files.json", "listing").toObject();
        for (const QString& name : jsonTexts(listing["files"])) {
            QVERIFY(writeBytes(dir.filePath(name), "x"));
        }
        const QJsonObject links = listing["links"].toObject();
        for (const QString& link : links.keys()) {
            QVERIFY(QFile::link(dir.filePath(links[link].toString()), dir.filePath(link)));
        }
        QCOMPARE(listDirectory(dir.path()).output, jsonTexts(listing["listed"]).join('\n'));
    }

    void searchShowsFiftyMatchesAndCountsTheRest() {
        QTemporaryDir dir;
        for (int i = 0; i < 120; ++i) {
            QVERIFY(writeBytes(dir.filePath(QStringLiteral("d%1/file%2.txt").arg(i % 7).arg(i)),
                               "some text with a needle in it\n"));
        }
        const ToolOutcome outcome = searchFiles(dir.path(), "needle");
        const QString tail = "\n... and 70 more files";
        QVERIFY2(outcome.success && outcome.output.endsWith(tail),
                 qPrintable(outcome.output.right(99)));
        const QStringList lines = outcome.output.chopped(tail.size()).split('\n');
        QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), 50);
    }

    void searchFindsWhatGrepFinds() {
        QTemporaryDir dir;
        const QJsonObject files = jsonTable("tools/files.json", "grepFiles").toObject();
        for (const QString& name : files.keys()) {
            QVERIFY(writeBytes(dir.filePath(name), jsonBytes(files[name])));
        }
        // Recursive, hidden files included, case-sensitive, binary files skipped (a
        // name that is not UTF-8: the odd names' rows).
        const QStringList lines = searchFiles(dir.path(), "needle").output.split('\n');
        QCOMPARE(lines.size(), 3);
        for (const char* name : {".hidden", "a/b/c/deep.md", "top.txt"}) {
            QVERIFY2(lines.contains(dir.filePath(name)), name);
        }
        // A basic regular expression; patterns that look like options are still patterns.
        QCOMPARE(searchFiles(dir.path(), "ha.*k n"), found(dir.filePath("a/b/c/deep.md")));
        QCOMPARE(searchFiles(dir.path(), "-v"), found(dir.filePath("arrow.cpp")));
        QCOMPARE(searchFiles(dir.path(), "it's"), found("No matches found for 'it's'"));
    }

    // Timeouts (rows of one second): the shell catching the signal and exiting 0,
    // or stopped, is still a timeout and a failure.
    void commandsSideBySide() {
        const ScopedEnvironment probe("EMBERGLASS_PROBE", "two words");
        // zsh would receive only what comes before a NUL, so such a command is refused.
        QList<QJsonObject> commands;
        for (const QJsonValue& command : jsonTable("tools/files.json", "commands").toArray()) {
            QJsonObject c = command.toObject();
            const QString output = c["output"].toString().replace("{cwd}", QDir::currentPath());
            c["output"] = QString(output).replace("{home}", QDir::homePath());
            commands.append(c);
        }
        QThreadPool pool;
        pool.setMaxThreadCount(int(commands.size()));
        QFuture<ToolOutcome> outcomes =
            QtConcurrent::mapped(&pool, commands, [](const QJsonObject& c) {
                return runCommand(c["command"].toString(),
                                  std::chrono::seconds(c["timeout"].toInt()));
            });

        // Meanwhile: a shell ignoring termination is killed with its children.
        const ToolOutcome ignoring = runCommand("trap '' TERM; sleep 60 & echo $!; wait", 1s);
        QVERIFY2(!ignoring.success && ignoring.output.startsWith("exit code: 15\n"),
                 qPrintable(ignoring.output));
        const qint64 sleeper = ignoring.output.trimmed().section('\n', -1).toLongLong();
        QVERIFY(sleeper > 0);
        QTRY_VERIFY(processEnded(sleeper));

        outcomes.waitForFinished();
        for (qsizetype i = 0; i < commands.size(); ++i) {
            const QJsonObject& c = commands[i];
            QVERIFY2(outcomes.resultAt(i) == (ToolOutcome{"run_command", c["success"].toBool(),
                                                          c["output"].toString()}),
                     qPrintable(c["command"].toString() + " gave " +
                                outcomes.resultAt(i).output.left(200)));
        }
    }

    // What a command leaves running is ended when it returns (or times out),
    // and said so; a fresh environment in a new session is the kept escape.
    void leftoversAreEnded_data() { addJsonRows("tools/files.json", "leftovers"); }
    void leftoversAreEnded() {
        QFETCH(QJsonObject, row);
        const ToolOutcome outcome =
            runCommand(row["command"].toString(), std::chrono::seconds(row["timeout"].toInt(30)));
        const qint64 pid = outcome.output.section('\n', 1, 1).toLongLong();
        const int ended = row["ended"].toInt();
        const int status = row["status"].toInt();
        const QString note = QStringLiteral("(ended %1 background process%2)").arg(ended);
        QCOMPARE(outcome, (ToolOutcome{"run_command", status == 0,
                                       QStringLiteral("exit code: %1\n%2\n").arg(status).arg(pid) +
                                           (ended > 0 ? note.arg(ended == 1 ? "" : "es") : "")}));
        QVERIFY(pid > 0);
        if (ended > 0) {
            QTRY_VERIFY(processEnded(pid));
        } else {
            QVERIFY(!processEnded(pid));
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
    }

    void aStopEndsTheCommandAndWhatItStarted() {
        ToolStop stop;
        QFuture<ToolOutcome> outcome = QtConcurrent::run(
            [&stop] { return runCommand("setsid sleep 987 & echo $!; sleep 60", 30s, &stop); });
        stop.request();
        outcome.waitForFinished();
        // Whether the shell got as far as starting the sleeper or not, it is gone.
        const ToolOutcome stopped = outcome.result();
        QVERIFY2(!stopped.success && stopped.output.startsWith("exit code: 15\n") &&
                     stopped.output.endsWith("(stopped by the user)"),
                 qPrintable(stopped.output));
        const qint64 sleeper = stopped.output.section('\n', 1, 1).toLongLong();
        if (sleeper > 0) {
            QTRY_VERIFY(processEnded(sleeper));
        }
        const auto ignore = [](QByteArrayView) {};
        QCOMPARE(
            runChildProcess({"/bin/true", {}, "/nonexistent/dir", std::nullopt}, ignore, ignore)
                .startError,
            QString::fromLocal8Bit(std::strerror(ENOENT)));
    }

    // Standard input is the chat's (its queued messages) or the user's terminal,
    // never the command's: it reads nothing, and the input stays where it was.
    void commandsDoNotReadOurInput() {
        int ends[2];
        QCOMPARE(::pipe(ends), 0);
        QCOMPARE(::write(ends[1], "one\ntwo\n", 8), 8);
        ::close(ends[1]);
        const int saved = ::dup(STDIN_FILENO);
        ::dup2(ends[0], STDIN_FILENO);
        const ToolOutcome outcome = runCommand("cat | wc -l");
        ::dup2(saved, STDIN_FILENO);
        ::close(saved);
        QCOMPARE(outcome, (ToolOutcome{"run_command", true, "exit code: 0\n0\n"}));
        char left[16] = {};
        QCOMPARE(::read(ends[0], left, sizeof left), 8);
        ::close(ends[0]);
    }

    // Names are bytes: listed and found losslessly, and read back as printed.
    void oddNamesListedFoundAndReadBack_data() { addJsonRows("tools/files.json", "oddNames"); }
    void oddNamesListedFoundAndReadBack() {
        QFETCH(QJsonObject, row);
        QTemporaryDir dir;
        const QByteArray name = jsonBytes(row["name"]);
        QVERIFY(writeRawName(QFile::encodeName(dir.path()) + '/' + name, "needle"));
        const QString printed = row["printed"].toString();
        QCOMPARE(listDirectory(dir.path()), (ToolOutcome{"list_directory", true, printed}));
        QCOMPARE(searchFiles(dir.path(), "needle"), found(dir.filePath(printed)));
        QCOMPARE(readFile(dir.filePath(printed)), (ToolOutcome{"read_file", true, "needle"}));
        ::unlink((QFile::encodeName(dir.path()) + '/' + name).constData()); // Qt cannot name it
    }

    void textInOtherEncodings_data() { addJsonRows("tools/files.json", "encodings"); }
    void textInOtherEncodings() {
        QFETCH(QJsonObject, row);
        QVERIFY(writeBytes(path("encoded.txt"), jsonBytes(row["bytes"])));
        QCOMPARE(readFile(path("encoded.txt")),
                 (ToolOutcome{"read_file", true, row["output"].toString()}));
    }

    void largeOutputIsDrainedAndCut() {
        // 10 MB on standard error before a line of output, far more than a pipe holds.
        QCOMPARE(runCommand("head -c 10485760 /dev/zero | tr '\\0' b >&2; echo done").output,
                 "exit code: 0\ndone\n\n[stderr] " + QString(100000 - 15, 'b') +
                     "\n[... truncated]");
    }

    void streamValidity_data() { addJsonRows("tools/files.json", "streams"); }
    void streamValidity() {
        QFETCH(QJsonObject, row);
        QList<QByteArray> chunks;
        std::ranges::transform(row["chunks"].toArray(), std::back_inserter(chunks), jsonBytes);
        const Utf8StreamCapture capture = captureOf(chunks);
        QCOMPARE(capture.isValidUtf8(), row["valid"].toBool());
        QCOMPARE(capture.text(),
                 row["valid"].toBool() ? QString::fromUtf8(chunks.join()) : QString());
    }

    void combination_data() { addJsonRows("tools/files.json", "combinations"); }
    void combination() {
        QFETCH(QJsonObject, row);
        QCOMPARE(combineCommandOutput(captureOf({piecesOf(row["out"])}),
                                      captureOf({piecesOf(row["err"])}), 100000),
                 QString::fromUtf8(piecesOf(row["expected"])));
    }
};

QTEST_GUILESS_MAIN(FileToolsTest)
#include "tst_file_tools.moc"
