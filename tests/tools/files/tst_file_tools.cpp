// read_file, write_file, list_directory and search_files (with the real grep)
// against real files in temporary directories, and the sandboxed home the test
// runner sets for "~".

#include "support/test_files.h"
#include "support/tool_outcome_text.h"
#include "tools/files/file_tools.h"
#include "tools/files/search_files.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString truncationNote(qint64 total) {
    return QStringLiteral("\n\n[... truncated, file is %1 bytes total]").arg(total);
}

ToolOutcome found(const QString& output) {
    return {"search_files", true, output};
}

} // namespace

class FileToolsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void readFileAroundTheLimit_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray limit(100000, 'a');
        const QString binary = "(binary file - cannot display)";
        QTest::newRow("exactly the limit") << limit << QString(limit);
        QTest::newRow("one byte past") << limit + 'b' << limit + truncationNote(100001);
        const QByteArray endsWithAccent = QByteArray(99998, 'a') + "\xc3\xa9";
        QTest::newRow("last character ends at the limit")
            << endsWithAccent << QString(endsWithAccent);
        QTest::newRow("cut inside a character") << QByteArray(99999, 'a') + "\xc3\xa9"
                                                << "(binary file)" + truncationNote(100001);
        QTest::newRow("cut inside a four-byte character")
            << QByteArray(99998, 'a') + "\xf0\x9f\x8c\x8dtail"
            << "(binary file)" + truncationNote(100006);
        QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << binary;
        QTest::newRow("overlong encoding") << QByteArray("a\xc0\xaf") << binary;
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << binary;
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("multilingual") << QByteArray("héllo 你好 🌍\n") << "héllo 你好 🌍\n";
    }
    void readFileAroundTheLimit() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QVERIFY(writeBytes(path("read.bin"), bytes));
        QCOMPARE(readFile(path("read.bin")), (ToolOutcome{"read_file", true, expected}));
    }

    void readFileOfUnusualSizes() {
        // Sparse, so nothing is written; only the first bytes may be read.
        QFile big(path("sparse.bin"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(5LL * 1024 * 1024 * 1024));
        big.close();
        QCOMPARE(readFile(big.fileName()).output,
                 QString(100000, QChar(0)) + truncationNote(5368709120));
        big.remove();
        // The kernel's files report size 0 yet have content.
        const ToolOutcome status = readFile("/proc/self/status");
        QVERIFY2(status.success && status.output.startsWith("Name:"), qPrintable(status.output));
    }

    void readFileFailures() {
        QCOMPARE(readFile(path("missing.txt")),
                 (ToolOutcome{"read_file", false, "File not found: " + path("missing.txt")}));
        QCOMPARE(readFile(QString()).output, "File not found: ");
        QCOMPARE(readFile(m_dir.path()), (ToolOutcome{"read_file", false, systemError(EISDIR)}));
        QVERIFY(QFile::link(path("nowhere"), path("dangling")));
        QCOMPARE(readFile(path("dangling")).output, "File not found: " + path("dangling"));
        // A named pipe without a writer would block for ever.
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
        QCOMPARE(readFile(path("pipe")).output, "Error: Not a regular file");
        if (::geteuid() != 0) { // root reads files whatever their mode
            QVERIFY(writeBytes(path("locked.txt"), "secret"));
            QVERIFY(QFile::setPermissions(path("locked.txt"), {}));
            QCOMPARE(readFile(path("locked.txt")).output,
                     "Permission denied: " + path("locked.txt"));
        }
    }

    void writeFileReportsUtf8Bytes_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("bytes");
        QTest::newRow("ascii") << "hello" << 5;
        QTest::newRow("accent") << "héllo" << 6;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("emoji") << "🌍" << 4;
        QTest::newRow("cjk and lines") << "你好\n\tworld\r\n" << 15;
    }
    void writeFileReportsUtf8Bytes() {
        QFETCH(QString, content);
        QFETCH(int, bytes);
        // Each row under directories that do not exist yet.
        const QString target = path("new/%1/deeper/out.txt").arg(QTest::currentDataTag());
        QCOMPARE(writeFile(target, content),
                 (ToolOutcome{"write_file", true,
                              QStringLiteral("Written %1 bytes to %2").arg(bytes).arg(target)}));
        QCOMPARE(readBytes(target), content.toUtf8());
        QCOMPARE(readFile(target).output, content);
    }

    void writeFileReplacesAtomically() {
        const QString target = path("replace/script.sh");
        QVERIFY(writeBytes(target, "old content that is longer"));
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(::link(QFile::encodeName(target).constData(),
                        QFile::encodeName(path("replace/hardlink")).constData()),
                 0);
        QVERIFY(writeFile(target, "new").success);
        QCOMPARE(readBytes(target), "new");
        // A new file was moved into place: the old one, still reachable through
        // the hard link, was never written to.
        QCOMPARE(readBytes(path("replace/hardlink")), "old content that is longer");
        QVERIFY(QFileInfo(target).permissions().testFlag(QFile::ExeOwner));
        QCOMPARE(QDir(path("replace")).entryList(QDir::Files | QDir::Hidden).size(), 2);
        // Through a symbolic link, its target is written and the link stays.
        QVERIFY(QFile::link(target, path("replace/link")));
        QVERIFY(writeFile(path("replace/link"), "after").success);
        QVERIFY(QFileInfo(path("replace/link")).isSymLink());
        QCOMPARE(readBytes(target), "after");
    }

    void writeFileFailures() {
        QVERIFY(writeBytes(path("plainfile"), "x"));
        QCOMPARE(writeFile(path("plainfile/sub/a.txt"), "x"),
                 (ToolOutcome{"write_file", false, systemError(ENOTDIR)}));
        const ToolOutcome onDirectory = writeFile(m_dir.path(), "x");
        QVERIFY2(!onDirectory.success && onDirectory.output.startsWith("Error: "),
                 qPrintable(onDirectory.output));
        QVERIFY(QFileInfo(m_dir.path()).isDir());
        // The system would stop reading the name at a NUL and act on "cut".
        const QString withNul = path("cut") + QChar(0) + "/../victim";
        QVERIFY(writeBytes(path("cut"), "keep"));
        QCOMPARE(writeFile(withNul, "x").output, systemError(EINVAL));
        QCOMPARE(readBytes(path("cut")), "keep");
        QCOMPARE(readFile(withNul).output, "File not found: " + withNul);
        QCOMPARE(listDirectory(m_dir.path() + QChar(0)).output, systemError(ENOENT));
    }

    void tildePathsUseTheHomeAndQuoteTheArgument() {
        QCOMPARE(writeFile("~/notes/today.md", "needle"),
                 (ToolOutcome{"write_file", true, "Written 6 bytes to ~/notes/today.md"}));
        const QString notes = QDir::homePath() + "/notes";
        QCOMPARE(readBytes(notes + "/today.md"), "needle");
        QCOMPARE(readFile("~/notes/today.md").output, "needle");
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
        const QString decomposed = "e\u0301t\u00e9";
        for (const QString& name : QStringList{"b.txt", "A.txt", "sub/x", "Zeta", ".hidden", "f",
                                               decomposed, "\uFF5E", "😀"}) {
            QVERIFY(writeBytes(dir.filePath(name), "x"));
        }
        QVERIFY(QFile::link(dir.filePath("sub"), dir.filePath("dirlink")));
        QVERIFY(QFile::link(dir.filePath("b.txt"), dir.filePath("filelink")));
        QVERIFY(QFile::link(dir.filePath("gone"), dir.filePath("dangling")));
        QCOMPARE(
            listDirectory(dir.path()),
            (ToolOutcome{"list_directory", true,
                         QStringList{".hidden", "A.txt", "Zeta", "b.txt", "dangling", "dirlink/",
                                     "f", "filelink", "sub/", decomposed, "\uFF5E", "😀"}
                             .join('\n')}));
    }

    void listDirectoryEmptyAndFailures() {
        QTemporaryDir empty;
        QCOMPARE(listDirectory(empty.path()),
                 (ToolOutcome{"list_directory", true, "(empty directory)"}));
        QCOMPARE(listDirectory(path("no-such-folder")),
                 (ToolOutcome{"list_directory", false, systemError(ENOENT)}));
        QVERIFY(writeBytes(path("notafolder"), "x"));
        QCOMPARE(listDirectory(path("notafolder")).output, systemError(ENOTDIR));
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
        const QRegularExpression shape(QRegularExpression::escape(dir.path()) +
                                       "/d[0-6]/file[0-9]+\\.txt");
        for (const QString& line : lines) {
            QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
        }
    }

    void searchFindsWhatGrepFinds() {
        QTemporaryDir dir;
        const QList<QPair<QString, QByteArray>> files{
            {"top.txt", "needle\n"},
            {"a/b/c/deep.md", "haystack needle haystack"},
            {".hidden", "needle"},
            {"upper.txt", "NEEDLE"},
            {"arrow.cpp", "p->next = 0; -v"},
            {"binary.bin", QByteArray("needle\0\x01\x02", 9)}};
        for (const auto& [name, bytes] : files) {
            QVERIFY(writeBytes(dir.filePath(name), bytes));
        }
        // Qt would re-encode a name that is not UTF-8, so that file is made with the raw bytes.
        const int odd = ::open((QFile::encodeName(dir.path()) + "/odd\xff.txt").constData(),
                               O_WRONLY | O_CREAT, 0600);
        QVERIFY(odd >= 0 && ::write(odd, "needle", 6) == 6);
        ::close(odd);
        QStringList lines = searchFiles(dir.path(), "needle").output.split('\n');
        lines.sort();
        // Recursive, hidden files included, case-sensitive, binary files skipped;
        // a name that is not UTF-8 does not hide the others.
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.filter("/odd").size(), 1);
        for (const char* name : {".hidden", "a/b/c/deep.md", "top.txt"}) {
            QVERIFY2(lines.contains(dir.filePath(name)), name);
        }
        // A basic regular expression; patterns that look like options are still patterns.
        QCOMPARE(searchFiles(dir.path(), "ha.*k n"), found(dir.filePath("a/b/c/deep.md")));
        QCOMPARE(searchFiles(dir.path(), "->"), found(dir.filePath("arrow.cpp")));
        QCOMPARE(searchFiles(dir.path(), "-v"), found(dir.filePath("arrow.cpp")));
        QCOMPARE(searchFiles(dir.path(), "it's"), found("No matches found for 'it's'"));
    }

    void searchFailuresAndRelativeFolders() {
        // The pattern is checked before the directory is looked at.
        QCOMPARE(searchFiles(path("missing"), QString()),
                 (ToolOutcome{"search_files", false, "Pattern cannot be empty"}));
        QCOMPARE(searchFiles(path("missing"), "x"),
                 (ToolOutcome{"search_files", false, systemError(ENOENT)}));
        QVERIFY(writeBytes(path("file.txt"), "x"));
        QCOMPARE(searchFiles(path("file.txt"), "x").output, systemError(ENOTDIR));
        QCOMPARE(searchFiles("relative-missing", "x").output, systemError(ENOENT));
        // Relative folders resolve against our working directory.
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("sub/inner/x.txt"), "needle"));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const ToolOutcome inSub = searchFiles("sub", "needle");
        QDir::setCurrent(before);
        QCOMPARE(inSub, found("sub/inner/x.txt"));
    }
};

QTEST_GUILESS_MAIN(FileToolsTest)
#include "tst_file_tools.moc"
