// The catalogue, the dispatcher's name matching and defaults, the text
// tool-call parser and the argument rules they share; every tool that writes
// a whole file, on a full disk; a tool that runs out of memory.

#include "support/full_disk.h"
#include "tools/path_expansion.h"
#include "tools/tool_arguments.h"
#include "tools/tool_call_parser.h"
#include "tools/tool_catalogue.h"
#include "tools/tool_executor.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The address space this process has mapped now, from /proc/self/statm.
qint64 mappedBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    return statm.readAll().split(' ').first().toLongLong() * ::sysconf(_SC_PAGESIZE);
}

} // namespace

class ToolDispatchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void catalogueMatchesTheTable() {
        QFile fixture(QStringLiteral(EMBERGLASS_TEST_DATA_DIR "/tool_catalogue.json"));
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        const QJsonArray expected = QJsonDocument::fromJson(fixture.readAll()).array();
        QCOMPARE(expected.size(), 12);
        QCOMPARE(toolDefinitions(), expected);
        // Required names keep the table's order (QJsonArray compares in order).
        QCOMPARE(toolDefinitions()[9][QStringLiteral("function")][QStringLiteral("parameters")]
                                  [QStringLiteral("required")]
                                      .toArray(),
                 (QJsonArray{QStringLiteral("path"), QStringLiteral("slides")}));
        // Built once: the same object every time.
        QCOMPARE(&toolDefinitions(), &toolDefinitions());
        QCOMPARE(toolNames().first(), QStringLiteral("read_file"));
        QCOMPARE(toolNames().last(), QStringLiteral("create_xlsx"));
    }

    void unknownAndWrongCaseNamesAreUnknown_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("case") << QStringLiteral("Read_File");
        QTest::newRow("unknown") << QStringLiteral("delete_everything");
        QTest::newRow("empty") << QString();
        QTest::newRow("padded") << QStringLiteral(" read_file");
    }
    void unknownAndWrongCaseNamesAreUnknown() {
        QFETCH(QString, name);
        const ToolOutcome outcome = ToolExecutor().execute(name, {});
        QCOMPARE(outcome, (ToolOutcome{name, false, QStringLiteral("Unknown tool: ") + name}));
    }

    void everyCatalogueNameDispatchesToItsOwnTool() {
        // Each tool reports under its own name, whatever it answers.
        const ToolExecutor executor;
        for (const QString& name : toolNames()) {
            const ToolArguments harmless{{QStringLiteral("path"), QStringLiteral("/nonexistent/x")},
                                         {QStringLiteral("command"), QString()},
                                         {QStringLiteral("pattern"), QString()}};
            QCOMPARE(executor.execute(name, harmless).tool, name);
        }
    }

    // No writer claims a file the disk did not take (a small write is only
    // buffered until the file is closed), and the old file stays as it was.
    void everyWriterOnAFullDiskKeepsTheOldFile_data() {
        QTest::addColumn<DiskFault>("fault");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QList<QStringList> writers{{"write_file", "content", "hello"},
                                         {"create_pptx", "slides", "[{}]"},
                                         {"create_xlsx", "data", R"([["a"]])"},
                                         {"create_pdf_slides", "slides", "[{}]"}};
        for (const auto& [fault, name] : {std::pair{DiskFault::sizeLimit, "size limit"},
                                          std::pair{DiskFault::fullTmpfs, "full tmpfs"}}) {
            for (const QStringList& writer : writers) {
                QTest::addRow("%s, %s", qPrintable(writer[0]), name)
                    << fault << writer[0] << writer[1] << writer[2];
            }
        }
    }
    void everyWriterOnAFullDiskKeepsTheOldFile() {
        QFETCH(DiskFault, fault);
        QFETCH(QString, tool);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir folder;
        FullDisk disk(fault, folder.path());
        if (!disk.isAvailable()) {
            QSKIP("mounting a tmpfs needs root");
        }
        QFile old(folder.filePath(QStringLiteral("output")));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        disk.engage();
        const ToolOutcome outcome =
            ToolExecutor::dispatch(tool, {{QStringLiteral("path"), old.fileName()}, {key, value}});
        disk.release();
        QCOMPARE(outcome,
                 (ToolOutcome{tool, false,
                              QStringLiteral("Error: ") +
                                  QString::fromLocal8Bit(std::strerror(disk.expectedError()))}));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("output")});
    }

    void runningOutOfMemoryEndsTheToolNotTheProcess() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer maps more than any such limit leaves");
#endif
        const QString content(64 * 1024 * 1024, QLatin1Char('x'));
        const QString target = QDir::temp().filePath(QStringLiteral("never-written.txt"));
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_AS, &saved), 0);
        // Room for a little more than is in use, not for the UTF-8 form of the content.
        const rlimit tight{rlim_t(mappedBytes() + 64 * 1024 * 1024), saved.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_AS, &tight), 0);
        const ToolOutcome outcome = ToolExecutor::dispatch(
            QStringLiteral("write_file"),
            {{QStringLiteral("path"), target}, {QStringLiteral("content"), content}});
        ::setrlimit(RLIMIT_AS, &saved);
        QCOMPARE(outcome,
                 (ToolOutcome{QStringLiteral("write_file"), false,
                              QStringLiteral("Error: Not enough memory to process this input")}));
        QVERIFY(!QFile::exists(target));
    }

    void missingSlidesDefaultToEmptyArray() {
        const ToolOutcome outcome = ToolExecutor().execute(
            QStringLiteral("create_pptx"), {{QStringLiteral("path"), QStringLiteral("/tmp/x.pptx")}});
        QCOMPARE(outcome.tool, QStringLiteral("create_pptx"));
        QVERIFY(!outcome.success);
        if (!outcome.output.startsWith(QStringLiteral("Tool not available yet"))) {
            QCOMPARE(outcome.output, QStringLiteral("No slides provided"));
        }
    }

    void argumentTextRule_data() {
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("string") << QJsonValue(QStringLiteral(" as is ")) << QStringLiteral(" as is ");
        QTest::newRow("integer") << QJsonValue(5) << QStringLiteral("5");
        QTest::newRow("fraction") << QJsonValue(2.5) << QStringLiteral("2.5");
        QTest::newRow("negative") << QJsonValue(-3) << QStringLiteral("-3");
        QTest::newRow("true") << QJsonValue(true) << QStringLiteral("1");
        QTest::newRow("false") << QJsonValue(false) << QStringLiteral("0");
        QTest::newRow("array") << QJsonValue(QJsonArray{1, QStringLiteral("a")}) << QStringLiteral("(1, a)");
        QTest::newRow("object") << QJsonValue(QJsonObject{{QStringLiteral("b"), 2}, {QStringLiteral("a"), true}})
                                << QStringLiteral("{a = 1; b = 2}");
    }
    void argumentTextRule() {
        QFETCH(QJsonValue, value);
        QFETCH(QString, text);
        QCOMPARE(argumentText(value), text);
        // Nested values never come out as JSON a model could mistake for input.
        if (value.isArray() || value.isObject()) {
            QJsonParseError error{};
            QJsonDocument::fromJson(text.toUtf8(), &error);
            QVERIFY(error.error != QJsonParseError::NoError);
        }
    }

    void tildeExpansion() {
        const QString home = QDir::homePath();
        QCOMPARE(expandTilde(QStringLiteral("~")), home);
        QCOMPARE(expandTilde(QStringLiteral("~/notes/a.txt")), home + QStringLiteral("/notes/a.txt"));
        QCOMPARE(expandTilde(QStringLiteral("/abs/~/x")), QStringLiteral("/abs/~/x"));
        QCOMPARE(expandTilde(QStringLiteral("relative")), QStringLiteral("relative"));
        QCOMPARE(expandTilde(QStringLiteral("~no_such_user_xyz/a")), QStringLiteral("~no_such_user_xyz/a"));
        const passwd* me = getpwuid(getuid());
        QVERIFY(me != nullptr);
        QCOMPARE(expandTilde(QStringLiteral("~") + QString::fromLocal8Bit(me->pw_name) + QStringLiteral("/x")),
                 QString::fromLocal8Bit(me->pw_dir) + QStringLiteral("/x"));
    }

    void parserProseThenOneCall() {
        const ToolCallParse parse = parseToolCalls(QStringLiteral(
            "Let me look.\n<tool_call>{\"name\": \"read_file\", \"arguments\": {\"path\": \"/tmp/a.txt\"}}</tool_call>"));
        QCOMPARE(parse.text, QStringLiteral("Let me look."));
        QCOMPARE(parse.calls, (QList<ParsedToolCall>{
                                  {QStringLiteral("read_file"), {{QStringLiteral("path"), QStringLiteral("/tmp/a.txt")}}}}));
        QCOMPARE(parse.remainder, QString());
    }

    void parserTwoBlocksWithProse() {
        const QString reply = QStringLiteral(
            "First.\n<tool_call>{\"tool\":\"a\"}</tool_call>\n  middle  \n"
            "<tool_call>{\"tool\":\"b\",\"args\":{\"n\":3}}</tool_call> end ");
        const ToolCallParse parse = parseToolCalls(reply);
        QCOMPARE(parse.text, QStringLiteral("First."));
        QCOMPARE(parse.calls.size(), 2);
        QCOMPARE(parse.calls[0].tool, QStringLiteral("a"));
        QCOMPARE(parse.calls[1].args.value(QStringLiteral("n")), QStringLiteral("3"));
        // Segments keep their own spacing; only the joined whole is trimmed.
        QCOMPARE(parse.remainder, QStringLiteral("middle  \n\n end"));

        // Starting with a block: the first non-blank prose segment becomes the text.
        const ToolCallParse leading = parseToolCalls(
            QStringLiteral("<tool_call>{\"tool\":\"a\"}</tool_call>\nafter one\n<tool_call>{\"tool\":\"b\"}</tool_call>after two"));
        QCOMPARE(leading.text, QStringLiteral("after one"));
        QCOMPARE(leading.remainder, QStringLiteral("after two"));

        // Only a block: empty text and remainder.
        const ToolCallParse only = parseToolCalls(QStringLiteral(" <tool_call>{\"tool\":\"a\"}</tool_call> "));
        QCOMPARE(only.text, QString());
        QCOMPARE(only.remainder, QString());
        QCOMPARE(only.calls.size(), 1);
    }

    void parserNamePrecedenceAndArguments() {
        const ToolCallParse both = parseToolCalls(QStringLiteral(
            "<tool_call>{\"name\":\"loser\",\"tool\":\"winner\",\"arguments\":{\"x\":\"1\"},\"args\":{\"y\":\"2\"}}</tool_call>"));
        QCOMPARE(both.calls.size(), 1);
        QCOMPARE(both.calls[0].tool, QStringLiteral("winner"));
        QCOMPARE(both.calls[0].args, (ToolArguments{{QStringLiteral("y"), QStringLiteral("2")}}));

        // A non-string "tool" falls back to "name"; a non-object "args" to "arguments".
        const ToolCallParse fallback = parseToolCalls(QStringLiteral(
            "<tool_call>{\"tool\":7,\"name\":\"n\",\"args\":[1],\"arguments\":{\"k\":true}}</tool_call>"));
        QCOMPARE(fallback.calls.value(0).tool, QStringLiteral("n"));
        QCOMPARE(fallback.calls.value(0).args, (ToolArguments{{QStringLiteral("k"), QStringLiteral("1")}}));

        // Arguments that are not an object still give a call, with no arguments.
        const ToolCallParse stringArgs =
            parseToolCalls(QStringLiteral("<tool_call>{\"name\":\"read_file\",\"arguments\":\"x\"}</tool_call>"));
        QCOMPARE(stringArgs.calls, (QList<ParsedToolCall>{{QStringLiteral("read_file"), {}}}));
    }

    void parserDropsBrokenBlocks() {
        const QString reply = QStringLiteral("  Hi <tool_call>{not json}</tool_call> there  ");
        const ToolCallParse parse = parseToolCalls(reply);
        QVERIFY(parse.calls.isEmpty());
        QCOMPARE(parse.text, reply.trimmed());
        QCOMPARE(parse.remainder, QString());

        // A broken block between good ones is dropped; the good ones stay.
        const ToolCallParse mixed = parseToolCalls(QStringLiteral(
            "<tool_call>{\"tool\":\"a\"}</tool_call><tool_call>[1]</tool_call><tool_call>{\"x\":1}</tool_call>"
            "<tool_call>{\"tool\":\"b\"}</tool_call>"));
        QCOMPARE(mixed.calls.size(), 2);
        QCOMPARE(mixed.calls[1].tool, QStringLiteral("b"));
    }

    void parserUnclosedTagStaysInProse() {
        const QString reply = QStringLiteral("Sure <tool_call>{\"tool\":\"a\"}");
        const ToolCallParse parse = parseToolCalls(reply);
        QVERIFY(parse.calls.isEmpty());
        QCOMPARE(parse.text, reply);

        // After a good call, an unclosed tag lands in the remainder, tag included.
        const ToolCallParse after = parseToolCalls(
            QStringLiteral("go <tool_call>{\"tool\":\"a\"}</tool_call> then <tool_call>{\"tool\":\"b\"}"));
        QCOMPARE(after.calls.size(), 1);
        QCOMPARE(after.text, QStringLiteral("go"));
        QCOMPARE(after.remainder, QStringLiteral("then \n<tool_call>{\"tool\":\"b\"}"));
    }

    void parserHandlesUnicodeAndWhitespaceInsideBlocks() {
        const ToolCallParse parse = parseToolCalls(QStringLiteral(
            "看一下\n<tool_call>\n  {\"name\": \"write_file\", \"arguments\": {\"path\": \"~/笔记.md\", \"content\": \"你好 🌍\"}}\n</tool_call>"));
        QCOMPARE(parse.text, QStringLiteral("看一下"));
        QCOMPARE(parse.calls.value(0).args.value(QStringLiteral("content")), QStringLiteral("你好 🌍"));
    }
};

QTEST_MAIN(ToolDispatchTest) // create_pdf_slides draws text
#include "tst_tool_dispatch.moc"
