// The catalogue; the dispatcher's names, argument mapping and defaults; what
// every reader does with a path that is not a regular file; every tool that
// writes a whole file, on a full disk and on a target that cannot be a file; a
// tool that runs out of memory; the text tool-call parser and the argument
// rules it shares.

#include "support/full_disk.h"
#include "support/json_rows.h"
#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/path_expansion.h"
#include "tools/tool_arguments.h"
#include "tools/tool_call_parser.h"
#include "tools/tool_catalogue.h"
#include "tools/tool_executor.h"
#include "tools/tool_table.h"

#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString table = "tools/dispatch.json";

// What each writer takes besides the path; each ignores the others' arguments.
const ToolArguments writerInputs{{"content", "hello"}, {"slides", "[{}]"}, {"data", R"([["a"]])"}};

// "{dir}" in a value stands for the row's folder.
ToolArguments argumentsOf(const QJsonValue& object, const QString& dir = {}) {
    ToolArguments arguments;
    for (const QString& key : object.toObject().keys()) {
        arguments.insert(key, object[key].toString().replace("{dir}", dir));
    }
    return arguments;
}

// The tools that write a file, from the table.
QStringList writers() {
    QStringList names;
    for (const ToolSpec& tool : toolTable()) {
        if (tool.reach == ToolReach::writesFile) {
            names << tool.name;
        }
    }
    return names;
}

} // namespace

class ToolDispatchTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // Each name reaches its own tool with its own arguments, or the default of a
    // missing one; each row's answer is one that only that tool gives, and the
    // readers expand "~" yet quote the path as given. Writers refuse what is
    // not their input before touching the disk. Paths that cannot be used give the
    // system's reason; one cut short by a NUL never reaches the file before it.
    void namesAndArgumentsReachTheirTool_data() { addJsonRows(table, "dispatch"); }
    void namesAndArgumentsReachTheirTool() {
        QFETCH(QJsonObject, row);
        const QString tool = row["tool"].toString();
        const bool success = row["success"].toBool();
        QTemporaryDir folder;
        QVERIFY(writeBytes(folder.filePath("a.txt"), "needle"));
        QVERIFY(writeBytes(QDir::home().filePath("a.txt"), "needle"));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        const ToolOutcome outcome =
            ToolExecutor().execute(tool, argumentsOf(row["args"], folder.path()));
        QDir::setCurrent(before);
        QCOMPARE(outcome, (ToolOutcome{tool, success,
                                       row["output"].toString().replace("{dir}", folder.path())}));
        QVERIFY(success || !QFileInfo::exists(folder.filePath("x")));
        QCOMPARE(readBytes(folder.filePath("a.txt")), "needle");
    }

    // A FIFO without a writer would block a reader for ever, a device never ends.
    void readersRefuseWhatIsNotARegularFile() {
        const QString fifo = m_dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& path : {fifo, m_dir.path(), QString("/dev/zero")}) {
            const QString kind =
                path == m_dir.path() ? systemError(EISDIR) : "Error: Not a regular file";
            const QList<QPair<QString, QString>> outputs{
                {"read_pdf", "Cannot open PDF: " + path},
                {"read_image", "Cannot read image: " + path},
                {"read_file", kind},
                {"read_docx", kind}}; // read_xlsx opens the package the same way
            for (const auto& [tool, output] : outputs) {
                QCOMPARE(ToolExecutor::dispatch(tool, {{"path", path}}),
                         (ToolOutcome{tool, false, output}));
            }
        }
    }

    // No writer claims a file the disk did not take (a small write is only
    // buffered until the file is closed), and the old file stays as it was.
    void everyWriterOnAFullDiskKeepsTheOldFile_data() {
        QTest::addColumn<DiskFault>("fault");
        QTest::addColumn<QString>("tool");
        for (const auto& [fault, name] : {std::pair{DiskFault::sizeLimit, "size limit"},
                                          std::pair{DiskFault::fullTmpfs, "full tmpfs"}}) {
            for (const QString& tool : writers()) {
                QTest::addRow("%s, %s", qPrintable(tool), name) << fault << tool;
            }
        }
    }
    void everyWriterOnAFullDiskKeepsTheOldFile() {
        QFETCH(DiskFault, fault);
        QFETCH(QString, tool);
        QTemporaryDir folder;
        FullDisk disk(fault, folder.path());
        if (!disk.isAvailable()) {
            QSKIP("mounting a tmpfs needs root");
        }
        const QString old = folder.filePath("output");
        QVERIFY(writeBytes(old, "old"));
        disk.engage();
        ToolArguments arguments = writerInputs;
        arguments.insert("path", old);
        const ToolOutcome outcome = ToolExecutor::dispatch(tool, arguments);
        disk.release();
        QCOMPARE(outcome, (ToolOutcome{tool, false, systemError(disk.expectedError())}));
        QCOMPARE(readBytes(old), "old");
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"output"});
    }

    // A file never replaces a FIFO (sockets and devices take the same refusal), a link
    // to one or a folder: the rename would succeed and "Written" would be a lie.
    void writersRefuseTargetsThatCannotBeFiles_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("path");
        for (const QString& tool : writers()) {
            // A NUL would have the system write "cut" instead.
            for (const QString& path :
                 QStringList{"folder", "", "fifo", "link", QString("cut") + QChar(0) + "short"}) {
                QTest::addRow("%s '%s'", qPrintable(tool), qPrintable(path)) << tool << path;
            }
        }
    }
    void writersRefuseTargetsThatCannotBeFiles() {
        QFETCH(QString, tool);
        QFETCH(QString, path);
        QTemporaryDir dir;
        const QByteArray target =
            path.isEmpty() ? QByteArray() : QFile::encodeName(dir.filePath(path));
        QVERIFY(QDir().mkpath(dir.filePath("folder/inside")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
        QVERIFY(QFile::link(dir.filePath("fifo"), dir.filePath("link")));
        struct stat before {};
        const bool node = ::stat(target.constData(), &before) == 0;
        ToolArguments arguments = writerInputs;
        arguments.insert("path", path.isEmpty() ? path : dir.filePath(path));
        const ToolOutcome outcome = ToolExecutor::dispatch(tool, arguments);
        QVERIFY2(!outcome.success &&
                     (tool == "create_pdf_slides"
                          ? outcome.output == "Cannot create PDF context"
                          : outcome.output.startsWith("Error: ") && outcome.output.size() > 7),
                 qPrintable(outcome.output));
        QVERIFY(tool != "write_file" || !node ||
                outcome.output == "Error: " + dir.filePath(path) + " is not a regular file");
        QVERIFY(QFileInfo(dir.filePath("folder/inside")).isDir());
        struct stat after {};
        QVERIFY(!node || (::stat(target.constData(), &after) == 0 &&
                          std::pair(after.st_ino, after.st_mode) ==
                              std::pair(before.st_ino, before.st_mode)));
        QVERIFY(!QFile::exists(dir.filePath("cut")));
    }

    void runningOutOfMemoryEndsTheToolNotTheProcess() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer maps more than any such limit leaves");
#endif
        const QString content(64 * 1024 * 1024, 'x');
        const QString target = m_dir.filePath("never-written.txt");
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_AS, &saved), 0);
        // Room for a little more than is mapped now, not for the UTF-8 form of the content.
        QFile statm("/proc/self/statm");
        QVERIFY(statm.open(QIODevice::ReadOnly));
        const qint64 mapped =
            statm.readAll().split(' ').first().toLongLong() * ::sysconf(_SC_PAGESIZE);
        const rlimit tight{rlim_t(mapped + 64 * 1024 * 1024), saved.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_AS, &tight), 0);
        const ToolOutcome outcome =
            ToolExecutor::dispatch("write_file", {{"path", target}, {"content", content}});
        ::setrlimit(RLIMIT_AS, &saved);
        QCOMPARE(outcome, (ToolOutcome{"write_file", false,
                                       "Error: Not enough memory to process this input"}));
        QVERIFY(!QFile::exists(target));
    }

    // Nested values never come out as JSON a model could mistake for input.
    void argumentTextRule_data() {
        addJsonRows(table, "argumentText");
    }
    void argumentTextRule() {
        QFETCH(QJsonObject, row);
        QCOMPARE(argumentText(row["value"]), row["text"].toString());
    }

    // Rows: path and expansion, with the home, the user's name and the user's own home put in.
    void tildeExpansion() {
        const passwd* me = getpwuid(getuid());
        QVERIFY(me != nullptr);
        const auto filled = [me](QString text) {
            return text.replace("{home}", QDir::homePath())
                .replace("{me}", QString::fromLocal8Bit(me->pw_name))
                .replace("{myHome}", QString::fromLocal8Bit(me->pw_dir));
        };
        const QJsonObject paths = jsonTable(table, "tildes").toObject();
        for (const QString& path : paths.keys()) {
            QCOMPARE(expandTilde(filled(path)), filled(paths[path].toString()));
        }
    }

    // Each row: the reply, and the prose, calls ([name, arguments]) and later
    // prose it parses into.
    void textToolCalls_data() {
        addJsonRows(table, "toolCalls");
    }
    void textToolCalls() {
        QFETCH(QJsonObject, row);
        ToolCallParse expected{row["text"].toString(), {}, row["remainder"].toString()};
        for (const QJsonValue& call : row["calls"].toArray()) {
            expected.calls.append({call[0].toString(), argumentsOf(call[1])});
        }
        QCOMPARE(parseToolCalls(row["reply"].toString()), expected);
    }
};

QTEST_MAIN(ToolDispatchTest) // create_pdf_slides draws text
#include "tst_tool_dispatch.moc"
