// Scanning the memory directory: which files are listed, how they are named and
// ordered, and that a file changed outside the program is read afresh.

#include "persona/memory_file_scanner.h"
#include "persona/persona_manager.h"

#include "persona_test_files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

QStringList namesOf(const QList<MemoryFile>& files) {
    QStringList names;
    for (const MemoryFile& file : files) {
        names.append(file.name);
    }
    return names;
}

} // namespace

class MemoryFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_memory;

    QString inMemory(const QString& name) const { return m_memory + QLatin1Char('/') + name; }

    void writeAged(const QString& name, const QByteArray& bytes, int hoursAgo) {
        QVERIFY(writeBytes(inMemory(name), bytes));
        QVERIFY(
            setModified(inMemory(name), QDateTime::currentDateTime().addSecs(-3600 * hoursAgo)));
    }

private Q_SLOTS:
    void init() {
        m_memory = m_root.path() + QLatin1Char('/') +
                   QString::fromLatin1(QTest::currentTestFunction()) +
                   QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral("/memory");
        QVERIFY(QDir().mkpath(m_memory));
    }

    void onlyMarkdownFilesNewestFirst() {
        writeAged(QStringLiteral("2026-03-14.md"), "today", 1);
        writeAged(QStringLiteral("a.b.md"), "dotted", 2);
        writeAged(QStringLiteral(".hidden.md"), "hidden", 3);
        writeAged(QStringLiteral("broken.md"), "\xff\xfe", 4);
        writeAged(QStringLiteral("NOTES.MD"), "upper", 0);
        writeAged(QStringLiteral("Notes.Md"), "mixed", 0);
        writeAged(QStringLiteral("readme.markdown"), "long", 0);
        writeAged(QStringLiteral("notes.txt"), "text", 0);
        writeAged(QStringLiteral("md"), "no extension", 0);
        writeAged(QStringLiteral("nested/deep.md"), "nested", 0);
        // Undated: a link whose target is gone cannot be examined.
        QVERIFY(
            QFile::link(inMemory(QStringLiteral("gone")), inMemory(QStringLiteral("dangling.md"))));

        const QList<MemoryFile> files = MemoryFileScanner().scan(m_memory);
        QCOMPARE(namesOf(files), (QStringList{QStringLiteral("2026-03-14"), QStringLiteral("a.b"),
                                              QStringLiteral(".hidden"), QStringLiteral("broken"),
                                              QStringLiteral("dangling")}));
        QCOMPARE(files[0].content, QStringLiteral("today"));
        QCOMPARE(files[0].url, inMemory(QStringLiteral("2026-03-14.md")));
        QCOMPARE(files[1].content, QStringLiteral("dotted"));
        QCOMPARE(files[3].content, QString()); // invalid UTF-8 reads as nothing
        QVERIFY(files[0].date.has_value());
        QVERIFY(qAbs(files[0].date->secsTo(QDateTime::currentDateTime()) - 3600) < 5);
        QVERIFY(!files[4].date.has_value());
        QVERIFY(!files[4].dateOrInvalid().isValid());
        QCOMPARE(files[4].content, QString());
    }

    void everyScanGivesNewIds() {
        writeAged(QStringLiteral("one.md"), "1", 1);
        writeAged(QStringLiteral("two.md"), "2", 2);
        MemoryFileScanner scanner;
        const QList<MemoryFile> first = scanner.scan(m_memory);
        const QList<MemoryFile> second = scanner.scan(m_memory);
        QCOMPARE(namesOf(second), namesOf(first));
        QSet<QUuid> ids;
        for (qsizetype i = 0; i < first.size(); ++i) {
            QCOMPARE(second[i].content, first[i].content);
            QCOMPARE(second[i].date, first[i].date);
            ids << first[i].id << second[i].id;
        }
        QCOMPARE(ids.size(), 4);
        QVERIFY(!ids.contains(QUuid()));
    }

    void unlistableDirectoryGivesNothing() {
        writeAged(QStringLiteral("one.md"), "1", 1);
        PersonaManager persona(QFileInfo(m_memory).path());
        QCOMPARE(persona.memoryFiles().size(), 1);
        QVERIFY(QDir(m_memory).removeRecursively());
        persona.loadMemoryFiles();
        QVERIFY(persona.memoryFiles().isEmpty());
        // The directory is not recreated behind the user's back.
        QVERIFY(!QFileInfo::exists(m_memory));
    }

    void fileChangedOutsideIsReadAfresh_data() {
        QTest::addColumn<bool>("replaceFile");
        QTest::addColumn<QByteArray>("newBytes");
        QTest::newRow("same size in place") << false << QByteArray("BBBB");
        QTest::newRow("same size, new file") << true << QByteArray("CCCC");
        QTest::newRow("grown") << false << QByteArray("AAAA and more");
        QTest::newRow("emptied") << true << QByteArray("");
    }
    void fileChangedOutsideIsReadAfresh() {
        QFETCH(bool, replaceFile);
        QFETCH(QByteArray, newBytes);
        const QString path = inMemory(QStringLiteral("note.md"));
        writeAged(QStringLiteral("note.md"), "AAAA", 1);
        const QDateTime modified = QFileInfo(path).lastModified();

        PersonaManager persona(QFileInfo(m_memory).path());
        QCOMPARE(persona.memoryFiles().first().content, QStringLiteral("AAAA"));
        if (replaceFile) {
            QVERIFY(persona.writeTextAtomically(path, QString::fromUtf8(newBytes)));
        } else {
            QVERIFY(writeBytes(path, newBytes));
        }
        // Even with the old modification time put back.
        QVERIFY(setModified(path, modified));
        persona.loadMemoryFiles();
        QCOMPARE(persona.memoryFiles().first().content, QString::fromUtf8(newBytes));
    }

    void settledContentIsStillCheckedAgainstTheDisk() {
        // No settle time: every file counts as settled at once, so only the file
        // system's own record (inode, size, times) can reveal a change.
        const QString path = inMemory(QStringLiteral("note.md"));
        writeAged(QStringLiteral("note.md"), "AAAA", 1);
        const QDateTime modified = QFileInfo(path).lastModified();
        MemoryFileScanner scanner(std::chrono::nanoseconds(0));
        QCOMPARE(scanner.scan(m_memory).first().content, QStringLiteral("AAAA"));
        QCOMPARE(scanner.scan(m_memory).first().content, QStringLiteral("AAAA"));

        QVERIFY(writeBytes(path, "BBBB"));
        QVERIFY(setModified(path, modified));
        QCOMPARE(scanner.scan(m_memory).first().content, QStringLiteral("BBBB"));

        QVERIFY(QFile::remove(path));
        QVERIFY(scanner.scan(m_memory).isEmpty());
        writeAged(QStringLiteral("note.md"), "CCCC", 1);
        QCOMPARE(scanner.scan(m_memory).first().content, QStringLiteral("CCCC"));
    }
};

QTEST_GUILESS_MAIN(MemoryFilesTest)
#include "tst_memory_files.moc"
