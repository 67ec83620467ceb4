// search_files with the real grep over trees built in temporary directories.

#include "tools/files/search_files.h"

#include "file_fixtures.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace FileFixtures;

namespace {

ToolOutcome found(const QString& output) {
    return {QStringLiteral("search_files"), true, output};
}

} // namespace

class SearchFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void manyMatchesShowFiftyAndCountTheRest() {
        QTemporaryDir dir;
        for (int i = 0; i < 120; ++i) {
            QVERIFY(writeBytes(dir.filePath(QStringLiteral("d%1/file%2.txt").arg(i % 7).arg(i)),
                               "some text with a needle in it\n"));
        }
        const ToolOutcome outcome = searchFiles(dir.path(), QStringLiteral("needle"));
        QVERIFY(outcome.success);
        const QString tail = QStringLiteral("\n... and 70 more files");
        QVERIFY2(outcome.output.endsWith(tail), qPrintable(outcome.output.right(100)));
        const QStringList lines = outcome.output.chopped(tail.size()).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 50);
        QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), 50);
        const QRegularExpression shape(QRegularExpression::escape(dir.path()) +
                                       QStringLiteral("/d[0-6]/file[0-9]+\\.txt"));
        for (const QString& line : lines) {
            QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
        }
    }

    void whatGrepFinds() {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("top.txt")), "needle\n"));
        QVERIFY(
            writeBytes(dir.filePath(QStringLiteral("a/b/c/deep.md")), "haystack needle haystack"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral(".hidden")), "needle"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("upper.txt")), "NEEDLE"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("binary.bin")),
                           QByteArray("needle\0\x01\x02", 9)));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("arrow.cpp")), "p->next = 0; -v"));

        const ToolOutcome outcome = searchFiles(dir.path(), QStringLiteral("needle"));
        QVERIFY(outcome.success);
        QStringList lines = outcome.output.split(QLatin1Char('\n'));
        lines.sort();
        // Recursive, hidden files included, case-sensitive, binary files skipped.
        QCOMPARE(lines, (QStringList{dir.filePath(QStringLiteral(".hidden")),
                                     dir.filePath(QStringLiteral("a/b/c/deep.md")),
                                     dir.filePath(QStringLiteral("top.txt"))}));
        // A basic regular expression.
        QCOMPARE(searchFiles(dir.path(), QStringLiteral("ha.*k n")),
                 found(dir.filePath(QStringLiteral("a/b/c/deep.md"))));
        // Patterns that look like options are still patterns.
        QCOMPARE(searchFiles(dir.path(), QStringLiteral("->")),
                 found(dir.filePath(QStringLiteral("arrow.cpp"))));
        QCOMPARE(searchFiles(dir.path(), QStringLiteral("-v")),
                 found(dir.filePath(QStringLiteral("arrow.cpp"))));
    }

    void noMatchIsASuccess() {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("a.txt")), "hay\n"));
        QCOMPARE(searchFiles(dir.path(), QStringLiteral("needle")),
                 found(QStringLiteral("No matches found for 'needle'")));
        QTemporaryDir empty;
        QCOMPARE(searchFiles(empty.path(), QStringLiteral("it's")),
                 found(QStringLiteral("No matches found for 'it's'")));
    }

    void failures() {
        QTemporaryDir dir;
        // The pattern is checked before the directory is looked at.
        QCOMPARE(searchFiles(dir.filePath(QStringLiteral("missing")), QString()),
                 (ToolOutcome{QStringLiteral("search_files"), false,
                              QStringLiteral("Pattern cannot be empty")}));
        QCOMPARE(searchFiles(dir.filePath(QStringLiteral("missing")), QStringLiteral("x")),
                 (ToolOutcome{QStringLiteral("search_files"), false, systemError(ENOENT)}));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("file.txt")), "x"));
        QCOMPARE(searchFiles(dir.filePath(QStringLiteral("file.txt")), QStringLiteral("x")).output,
                 systemError(ENOTDIR));
        QCOMPARE(searchFiles(QStringLiteral("relative-missing"), QStringLiteral("x")).output,
                 systemError(ENOENT));
    }

    void relativeDirectoriesResolveAgainstOurWorkingDirectory() {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("sub/inner/x.txt")), "needle"));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const ToolOutcome inSub = searchFiles(QStringLiteral("sub"), QStringLiteral("needle"));
        const ToolOutcome here = searchFiles(QStringLiteral("."), QStringLiteral("needle"));
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(inSub, found(QStringLiteral("sub/inner/x.txt")));
        QCOMPARE(here, found(QStringLiteral("./sub/inner/x.txt")));
    }

    void tildeDirectory() {
        QVERIFY(writeBytes(QDir::homePath() + QStringLiteral("/searchme/n.txt"), "needle"));
        QCOMPARE(searchFiles(QStringLiteral("~/searchme"), QStringLiteral("needle")),
                 found(QDir::homePath() + QStringLiteral("/searchme/n.txt")));
        QVERIFY(QDir(QDir::homePath() + QStringLiteral("/searchme")).removeRecursively());
    }

    void aFileNameThatIsNotUtf8DoesNotHideTheOthers() {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("good.txt")), "needle"));
        // Qt would re-encode such a name, so the file is made with the raw bytes.
        const QByteArray odd = QFile::encodeName(dir.path()) + "/odd\xff.txt";
        const int descriptor = ::open(odd.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(descriptor >= 0);
        QCOMPARE(::write(descriptor, "needle", 6), 6);
        ::close(descriptor);
        const QStringList lines =
            searchFiles(dir.path(), QStringLiteral("needle")).output.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.contains(dir.filePath(QStringLiteral("good.txt"))));
    }
};

QTEST_GUILESS_MAIN(SearchFilesTest)
#include "tst_search_files.moc"
