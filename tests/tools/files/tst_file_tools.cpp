// read_file, write_file and list_directory against real files in a temporary
// directory (and the sandboxed home the test runner sets for "~").

#include "tools/files/file_tools.h"

#include "file_fixtures.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace FileFixtures;

namespace {

const QByteArray tinyPng = QByteArray::fromHex(
    "89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c4890000000d49444154789c63"
    "f8cfc0f01f0005000201ffa5a1a1c80000000049454e44ae426082");

QString truncationNote(qint64 total) {
    return QStringLiteral("\n\n[... truncated, file is %1 bytes total]").arg(total);
}

} // namespace

class FileToolsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void readFileAroundTheLimit_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray limit(100000, 'a');
        QTest::newRow("exactly the limit") << limit << QString::fromLatin1(limit);
        QTest::newRow("one byte past")
            << limit + 'b' << QString::fromLatin1(limit) + truncationNote(100001);
        const QByteArray endsWithAccent = QByteArray(99998, 'a') + "\xc3\xa9";
        QTest::newRow("last character ends at the limit")
            << endsWithAccent << QString::fromUtf8(endsWithAccent);
        QTest::newRow("cut inside a character")
            << QByteArray(99999, 'a') + "\xc3\xa9"
            << QStringLiteral("(binary file)") + truncationNote(100001);
        QTest::newRow("cut inside a four-byte character")
            << QByteArray(99998, 'a') + "\xf0\x9f\x8c\x8d" + "tail"
            << QStringLiteral("(binary file)") + truncationNote(100006);
        QTest::newRow("png") << tinyPng << QStringLiteral("(binary file - cannot display)");
        QTest::newRow("overlong encoding")
            << QByteArray("a\xc0\xaf") << QStringLiteral("(binary file - cannot display)");
        QTest::newRow("encoded surrogate")
            << QByteArray("\xed\xa0\x80") << QStringLiteral("(binary file - cannot display)");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("multilingual")
            << QByteArray("héllo 你好 🌍\n") << QStringLiteral("héllo 你好 🌍\n");
    }
    void readFileAroundTheLimit() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QVERIFY(writeBytes(path(QStringLiteral("read.bin")), bytes));
        QCOMPARE(readFile(path(QStringLiteral("read.bin"))),
                 (ToolOutcome{QStringLiteral("read_file"), true, expected}));
    }

    void readFileCountsBeyondFourGigabytes() {
        // Sparse, so nothing is written; only the first bytes may be read.
        const QString big = path(QStringLiteral("sparse.bin"));
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(5LL * 1024 * 1024 * 1024));
        file.close();
        const ToolOutcome outcome = readFile(big);
        QVERIFY(outcome.success);
        QCOMPARE(outcome.output, QString(100000, QChar(0)) + truncationNote(5368709120));
        QFile::remove(big);
    }

    void readFileOfAFileWithoutAKnownSize() {
        // The kernel's files report size 0 yet have content.
        const ToolOutcome outcome = readFile(QStringLiteral("/proc/self/status"));
        QVERIFY(outcome.success);
        QVERIFY2(outcome.output.startsWith(QStringLiteral("Name:")), qPrintable(outcome.output));
    }

    void readFileFailures() {
        QCOMPARE(readFile(path(QStringLiteral("missing.txt"))),
                 (ToolOutcome{QStringLiteral("read_file"), false,
                              QStringLiteral("File not found: ") +
                                  path(QStringLiteral("missing.txt"))}));
        QCOMPARE(readFile(QString()).output, QStringLiteral("File not found: "));
        QCOMPARE(readFile(m_dir.path()),
                 (ToolOutcome{QStringLiteral("read_file"), false, systemError(EISDIR)}));
        QVERIFY(QFile::link(path(QStringLiteral("nowhere")), path(QStringLiteral("dangling"))));
        QCOMPARE(readFile(path(QStringLiteral("dangling"))).output,
                 QStringLiteral("File not found: ") + path(QStringLiteral("dangling")));
    }

    void readFileOfANamedPipeDoesNotWaitForAWriter() {
        const QString fifo = path(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(readFile(fifo), (ToolOutcome{QStringLiteral("read_file"), false,
                                              QStringLiteral("Error: Not a regular file")}));
    }

    void readFileWithoutPermission() {
        if (::geteuid() == 0) {
            QSKIP("root reads files whatever their mode");
        }
        const QString locked = path(QStringLiteral("locked.txt"));
        QVERIFY(writeBytes(locked, "secret"));
        QVERIFY(QFile::setPermissions(locked, {}));
        QCOMPARE(readFile(locked), (ToolOutcome{QStringLiteral("read_file"), false,
                                                QStringLiteral("Permission denied: ") + locked}));
    }

    void writeFileReportsUtf8Bytes_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("bytes");
        QTest::newRow("ascii") << QStringLiteral("hello") << 5;
        QTest::newRow("accent") << QStringLiteral("héllo") << 6;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("emoji") << QStringLiteral("🌍") << 4;
        QTest::newRow("cjk and lines") << QStringLiteral("你好\n\tworld\r\n") << 15;
    }
    void writeFileReportsUtf8Bytes() {
        QFETCH(QString, content);
        QFETCH(int, bytes);
        // Each row under directories that do not exist yet.
        const QString target =
            path(QStringLiteral("new/%1/deeper/out.txt").arg(QTest::currentDataTag()));
        QCOMPARE(writeFile(target, content),
                 (ToolOutcome{QStringLiteral("write_file"), true,
                              QStringLiteral("Written %1 bytes to %2").arg(bytes).arg(target)}));
        QCOMPARE(readBytes(target), content.toUtf8());
        // What read_file returns is what was written.
        QCOMPARE(readFile(target).output, content);
    }

    void writeFileReplacesAtomically() {
        const QString target = path(QStringLiteral("replace/script.sh"));
        const QString otherName = path(QStringLiteral("replace/hardlink"));
        QVERIFY(writeBytes(target, "old content that is longer"));
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(
            ::link(QFile::encodeName(target).constData(), QFile::encodeName(otherName).constData()),
            0);

        QVERIFY(writeFile(target, QStringLiteral("new")).success);
        QCOMPARE(readBytes(target), QByteArray("new"));
        // A new file was moved into place: the old one, still reachable through
        // the hard link, was never written to.
        QCOMPARE(readBytes(otherName), QByteArray("old content that is longer"));
        QVERIFY(QFileInfo(target).permissions().testFlag(QFile::ExeOwner));
        QCOMPARE(QDir(path(QStringLiteral("replace"))).entryList(QDir::Files | QDir::Hidden).size(),
                 2);
    }

    void writeFileThroughASymbolicLinkWritesItsTarget() {
        const QString real = path(QStringLiteral("linked/real.txt"));
        const QString link = path(QStringLiteral("linked/link.txt"));
        QVERIFY(writeBytes(real, "before"));
        QVERIFY(QFile::link(real, link));
        QVERIFY(writeFile(link, QStringLiteral("after")).success);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readBytes(real), QByteArray("after"));
    }

    void writeFileFailures() {
        const QString blocker = path(QStringLiteral("plainfile"));
        QVERIFY(writeBytes(blocker, "x"));
        QCOMPARE(writeFile(blocker + QStringLiteral("/sub/a.txt"), QStringLiteral("x")),
                 (ToolOutcome{QStringLiteral("write_file"), false, systemError(ENOTDIR)}));
        const ToolOutcome onDirectory = writeFile(m_dir.path(), QStringLiteral("x"));
        QVERIFY(!onDirectory.success);
        QVERIFY2(onDirectory.output.startsWith(QStringLiteral("Error: ")),
                 qPrintable(onDirectory.output));
        QVERIFY(QFileInfo(m_dir.path()).isDir());
    }

    void aNulCharacterNeverShortensAPath() {
        // The system would stop reading the name at the NUL and act on "cut".
        const QString cut = path(QStringLiteral("cut"));
        const QString withNul = cut + QChar(0) + QStringLiteral("/../victim");
        QVERIFY(writeBytes(cut, "keep"));
        QCOMPARE(writeFile(withNul, QStringLiteral("x")),
                 (ToolOutcome{QStringLiteral("write_file"), false, systemError(EINVAL)}));
        QCOMPARE(readBytes(cut), QByteArray("keep"));
        QCOMPARE(readFile(withNul).output, QStringLiteral("File not found: ") + withNul);
        QCOMPARE(listDirectory(m_dir.path() + QChar(0)).output, systemError(ENOENT));
    }

    void tildePathsUseTheHomeAndQuoteTheArgument() {
        QCOMPARE(writeFile(QStringLiteral("~/notes/today.md"), QStringLiteral("hello")),
                 (ToolOutcome{QStringLiteral("write_file"), true,
                              QStringLiteral("Written 5 bytes to ~/notes/today.md")}));
        const QString real = QDir::homePath() + QStringLiteral("/notes/today.md");
        QCOMPARE(readBytes(real), QByteArray("hello"));
        QCOMPARE(readFile(QStringLiteral("~/notes/today.md")).output, QStringLiteral("hello"));
        QCOMPARE(listDirectory(QStringLiteral("~/notes")).output, QStringLiteral("today.md"));
        QCOMPARE(readFile(QStringLiteral("~/notes/none.md")).output,
                 QStringLiteral("File not found: ~/notes/none.md"));
        QVERIFY(QDir(QDir::homePath() + QStringLiteral("/notes")).removeRecursively());
    }

    void listDirectoryOrder() {
        QTemporaryDir dir;
        const auto make = [&dir](const QString& name) {
            return writeBytes(dir.filePath(name), "x");
        };
        QVERIFY(make(QStringLiteral("b.txt")));
        QVERIFY(make(QStringLiteral("A.txt")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QCOMPARE(listDirectory(dir.path()), (ToolOutcome{QStringLiteral("list_directory"), true,
                                                         QStringLiteral("A.txt\nb.txt\nsub/")}));

        // Capitals before small letters; hidden names listed; links shown as what
        // they point to; names compared by code point after composition, so a
        // decomposed é (e + U+0301) sorts as U+00E9, after "f", and U+FF5E before
        // an emoji (whose UTF-16 units would sort first).
        const QString decomposed = QStringLiteral("e\u0301t\u00e9");
        for (const QString& name :
             {QStringLiteral("Zeta"), QStringLiteral(".hidden"), QStringLiteral("f"), decomposed,
              QStringLiteral("\uFF5E"), QStringLiteral("\U0001F600")}) {
            QVERIFY(make(name));
        }
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("sub")),
                            dir.filePath(QStringLiteral("dirlink"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("b.txt")),
                            dir.filePath(QStringLiteral("filelink"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")),
                            dir.filePath(QStringLiteral("dangling"))));
        const QStringList expected{QStringLiteral(".hidden"),  QStringLiteral("A.txt"),
                                   QStringLiteral("Zeta"),     QStringLiteral("b.txt"),
                                   QStringLiteral("dangling"), QStringLiteral("dirlink/"),
                                   QStringLiteral("f"),        QStringLiteral("filelink"),
                                   QStringLiteral("sub/"),     decomposed,
                                   QStringLiteral("\uFF5E"),   QStringLiteral("\U0001F600")};
        QCOMPARE(listDirectory(dir.path()).output.split(QLatin1Char('\n')), expected);
    }

    void listDirectoryEmptyAndFailures() {
        QTemporaryDir empty;
        QCOMPARE(listDirectory(empty.path()), (ToolOutcome{QStringLiteral("list_directory"), true,
                                                           QStringLiteral("(empty directory)")}));
        QCOMPARE(listDirectory(path(QStringLiteral("no-such-folder"))),
                 (ToolOutcome{QStringLiteral("list_directory"), false, systemError(ENOENT)}));
        QVERIFY(writeBytes(path(QStringLiteral("notafolder")), "x"));
        QCOMPARE(listDirectory(path(QStringLiteral("notafolder"))).output, systemError(ENOTDIR));
    }
};

QTEST_GUILESS_MAIN(FileToolsTest)
#include "tst_file_tools.moc"
