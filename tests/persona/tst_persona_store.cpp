// Creating, loading, migrating and reloading the soul and the long-term memory;
// writing the daily log; scanning the memory directory (which files, how named
// and ordered, read afresh when changed outside); how a memory file is
// summarised and saved from the persona panel; all of it on a full disk.

#include "persona/memory_file_display.h"
#include "persona/memory_file_scanner.h"
#include "persona/persona_manager.h"
#include "persona/prompt_texts.h"

#include "support/full_disk.h"
#include "support/test_files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray defaultSoul = PromptTexts::defaultSoul().toUtf8();
const QByteArray defaultMemory = PromptTexts::defaultMemory().toUtf8();
const QByteArray invalidUtf8 = "caf\xc3 \xff\xfe";

QDateTime localTime(int day, int hour, int minute) {
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute));
}

QByteArray shortTime(int hour, int minute) {
    return QLocale::system().toString(QTime(hour, minute), QLocale::ShortFormat).toUtf8();
}

QStringList namesOf(const QList<MemoryFile>& files) {
    QStringList names;
    for (const MemoryFile& file : files) {
        names.append(file.name);
    }
    return names;
}

} // namespace

class PersonaStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_store; // a store of its own for each test and row

    QString inStore(const QString& name) const { return m_store + '/' + name; }

    void writeAged(const QString& name, const QByteArray& bytes, int hoursAgo) {
        QVERIFY(writeBytes(inStore("memory/" + name), bytes));
        QVERIFY(setModified(inStore("memory/" + name),
                            QDateTime::currentDateTime().addSecs(-3600 * hoursAgo)));
    }

    static void addDiskFaults() {
        QTest::addColumn<DiskFault>("fault");
        QTest::newRow("size limit") << DiskFault::sizeLimit;
        QTest::newRow("full tmpfs") << DiskFault::fullTmpfs;
    }
    // The folder that holds the store, as a disk about to run out of room.
    std::unique_ptr<FullDisk> diskUnderStore(DiskFault fault) const {
        QDir().mkpath(QFileInfo(m_store).absolutePath());
        auto disk = std::make_unique<FullDisk>(fault, QFileInfo(m_store).absolutePath());
        QDir().mkpath(m_store + "/memory");
        return disk;
    }

private Q_SLOTS:
    void init() {
        m_store = m_root.path() + '/' + QTest::currentTestFunction() + QTest::currentDataTag() +
                  "/.nimbrook";
    }

    void firstLaunchInHomeCreatesEverything() {
        const QString home = QDir::homePath();
        QVERIFY2(home.contains("sandbox"), "tests must not touch the real home");
        QDir(home + "/.nimbrook").removeRecursively();
        const PersonaManager persona;
        QCOMPARE((QStringList{persona.storageDirectory(), persona.soulURL(), persona.memoryURL(),
                              persona.memoryDirectory()}),
                 (QStringList{home + "/.nimbrook", home + "/.nimbrook/soul.md",
                              home + "/.nimbrook/MEMORY.md", home + "/.nimbrook/memory"}));
        QCOMPARE(readBytes(persona.soulURL()), defaultSoul);
        QCOMPARE(readBytes(persona.memoryURL()), defaultMemory);
        QCOMPARE(persona.soul(), defaultSoul);
        QCOMPARE(persona.memory(), defaultMemory);
        QVERIFY(persona.memoryFiles().isEmpty());
        QCOMPARE(persona.agentName(), "Emberglass");
        // No temporary files are left beside the new ones; the memory folder is empty.
        const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(persona.storageDirectory()).entryList(all, QDir::Name),
                 (QStringList{"MEMORY.md", "memory", "soul.md"}));
        QVERIFY(QDir(persona.memoryDirectory()).isEmpty(all));
        // Missing parent folders are created too.
        QCOMPARE(readBytes(PersonaManager(m_store + "/deeper/still").soulURL()), defaultSoul);
    }

    void existingFilesAreLoadedUnchanged() {
        const QByteArray soul = "# Aria\r\nPlayful.\n\n";
        QVERIFY(writeBytes(inStore("soul.md"), soul));
        QVERIFY(writeBytes(inStore("MEMORY.md"), "User: Sam\n"));
        const PersonaManager persona(m_store);
        QCOMPARE(persona.soul(), soul);
        QCOMPARE(persona.memory(), "User: Sam\n");
        QCOMPARE(persona.agentName(), "Aria");
        QCOMPARE(readBytes(persona.soulURL()), soul);
    }

    void invalidUtf8GivesTheDefaultAndLeavesTheFile_data() {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("soul") << "soul.md";
        QTest::newRow("memory") << "MEMORY.md";
    }
    void invalidUtf8GivesTheDefaultAndLeavesTheFile() {
        QFETCH(QString, fileName);
        QVERIFY(writeBytes(inStore(fileName), invalidUtf8));
        const PersonaManager persona(m_store);
        QCOMPARE(persona.soul(), defaultSoul);
        QCOMPARE(persona.memory(), defaultMemory);
        QCOMPARE(readBytes(inStore(fileName)), invalidUtf8);
    }

    void legacyMemoryMigration_data() {
        QTest::addColumn<QByteArray>("memoryFile"); // null: absent
        QTest::addColumn<QByteArray>("legacyFile");
        QTest::addColumn<QByteArray>("expected"); // in MEMORY.md and in memory
        QTest::addColumn<bool>("legacyRemains");
        const QByteArray none;
        QTest::newRow("placeholder legacy is dropped")
            << QByteArray("kept facts") << defaultMemory << QByteArray("kept facts") << false;
        QTest::newRow("legacy placeholder plus line feed is migrated")
            << none << defaultMemory + "\n"
            << defaultMemory + "\n"
            << false;
        QTest::newRow("legacy text on first launch")
            << none << QByteArray("old facts") << QByteArray("old facts") << false;
        QTest::newRow("legacy text over the placeholder")
            << defaultMemory << QByteArray("old facts") << QByteArray("old facts") << false;
        QTest::newRow("both hold text: nothing is lost")
            << QByteArray("new facts") << QByteArray("old facts")
            << QByteArray("new facts\n\nold facts") << false;
        QTest::newRow("same text in both")
            << QByteArray("facts") << QByteArray("facts") << QByteArray("facts") << false;
        QTest::newRow("unreadable legacy stays")
            << QByteArray("facts") << invalidUtf8 << QByteArray("facts") << true;
        // MEMORY.md keeps its bytes; the default stands in for its text.
        QTest::newRow("unreadable MEMORY.md is not overwritten")
            << invalidUtf8 << QByteArray("old facts") << invalidUtf8 << true;
    }
    void legacyMemoryMigration() {
        QFETCH(QByteArray, memoryFile);
        QFETCH(QByteArray, legacyFile);
        QFETCH(QByteArray, expected);
        QFETCH(bool, legacyRemains);
        QVERIFY(memoryFile.isNull() || writeBytes(inStore("MEMORY.md"), memoryFile));
        QVERIFY(writeBytes(inStore("memory.md"), legacyFile));
        const PersonaManager persona(m_store);
        QCOMPARE(persona.memory(), expected == invalidUtf8 ? defaultMemory : expected);
        QCOMPARE(readBytes(persona.memoryURL()), expected);
        QCOMPARE(readBytes(inStore("memory.md")), legacyRemains ? legacyFile : QByteArray());
    }

    void reloadPicksUpEditsAndKeepsValuesOfUnreadableFiles() {
        QVERIFY(writeBytes(inStore("memory/topic.md"), "topic"));
        PersonaManager persona(m_store);
        QSignalSpy soulSpy(&persona, &PersonaManager::soulChanged);
        QSignalSpy memorySpy(&persona, &PersonaManager::memoryChanged);
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);
        QVERIFY(writeBytes(persona.soulURL(), "# Aria"));
        QVERIFY(writeBytes(persona.memoryURL(), "likes tea"));
        persona.reload();
        QCOMPARE((QStringList{persona.soul(), persona.agentName(), persona.memory()}),
                 (QStringList{"# Aria", "Aria", "likes tea"}));
        QCOMPARE((QList<qsizetype>{soulSpy.count(), memorySpy.count(), filesSpy.count()}),
                 (QList<qsizetype>{1, 1, 1})); // a rescan always gives new records
        QVERIFY(QFile::remove(persona.soulURL()));
        QVERIFY(writeBytes(persona.memoryURL(), invalidUtf8));
        persona.reload();
        QCOMPARE((QStringList{persona.soul(), persona.memory()}),
                 (QStringList{"# Aria", "likes tea"}));
        QVERIFY(!QFileInfo::exists(persona.soulURL()));
        QCOMPARE(readBytes(persona.memoryURL()), invalidUtf8);
        QCOMPARE((QList<qsizetype>{soulSpy.count(), memorySpy.count()}), (QList<qsizetype>{1, 1}));
    }

    void settersNotifyOnlyOnChange() {
        PersonaManager persona(m_store);
        QSignalSpy soulSpy(&persona, &PersonaManager::soulChanged);
        QSignalSpy memorySpy(&persona, &PersonaManager::memoryChanged);
        persona.setSoul(persona.soul());
        persona.setMemory(persona.memory());
        QCOMPARE(soulSpy.count() + memorySpy.count(), 0);
        persona.setSoul("name: Kai");
        persona.setMemory("new");
        QCOMPARE(soulSpy.count() + memorySpy.count(), 2);
        QCOMPARE(persona.agentName(), "Kai");
        // Assigning does not save: the editors write the file themselves.
        QCOMPARE(readBytes(persona.soulURL()), defaultSoul);
        QVERIFY(persona.writeTextAtomically(persona.soulURL(), persona.soul()));
        QCOMPARE(readBytes(persona.soulURL()), "name: Kai");
    }

    void dailyLogFirstAndSecondAppend() {
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(14, 9, 41); });
        writeAged("2026-03-13.md", "# older", 24);
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);
        persona.appendToDailyLog("用户喜欢猫");
        const QString log = inStore("memory/2026-03-14.md");
        const QByteArray first =
            "# 2026-03-14 Memory Log\n\n- [" + shortTime(9, 41) + "] 用户喜欢猫\n";
        QCOMPARE(readBytes(log), first);
        QCOMPARE(filesSpy.count(), 1);
        QCOMPARE(namesOf(persona.memoryFiles()), (QStringList{"2026-03-14", "2026-03-13"}));
        QCOMPARE(persona.memoryFiles().first().content, first);
        persona.appendToDailyLog("second [entry]");
        QCOMPARE(readBytes(log), first + "- [" + shortTime(9, 41) + "] second [entry]\n");
        QCOMPARE(filesSpy.count(), 2);
        QVERIFY(persona.memoryFiles().first().content.endsWith("second [entry]\n"));
        QCOMPARE(QDir(persona.memoryDirectory()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"2026-03-13.md", "2026-03-14.md"}));
    }

    void appendKeepsTheAgentsEdits_data() {
        QTest::addColumn<QByteArray>("agentText");
        QTest::addColumn<QByteArray>("separator");
        QTest::newRow("ends in a line feed")
            << QByteArray("# log\n\n- agent note\n") << QByteArray();
        QTest::newRow("last line unfinished")
            << QByteArray("# log\n\nagent note") << QByteArray("\n");
        QTest::newRow("emptied") << QByteArray("") << QByteArray();
    }
    void appendKeepsTheAgentsEdits() {
        QFETCH(QByteArray, agentText);
        QFETCH(QByteArray, separator);
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(14, 21, 5); });
        persona.appendToDailyLog("one");
        const QString log = inStore("memory/2026-03-14.md");
        // The agent rewrites the log the way write_file does: a new file in its place.
        QVERIFY(persona.writeTextAtomically(log, agentText));
        persona.appendToDailyLog("two");
        QCOMPARE(readBytes(log), agentText + separator + "- [" + shortTime(21, 5) + "] two\n");
    }

    void appendToAnUnopenableLogWritesNothingButRescans() {
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(14, 8, 0); });
        QVERIFY(QDir().mkpath(inStore("memory/2026-03-14.md")));
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);
        persona.appendToDailyLog("lost?");
        QCOMPARE(filesSpy.count(), 1);
        QVERIFY(QFileInfo(inStore("memory/2026-03-14.md")).isDir());
        QVERIFY(QDir(persona.memoryDirectory()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void startUpOnAFullDiskLosesNothing_data() { addDiskFaults(); }
    void startUpOnAFullDiskLosesNothing() {
        QFETCH(DiskFault, fault);
        const auto disk = diskUnderStore(fault);
        if (!disk->isAvailable()) {
            QSKIP("mounting a tmpfs needs root");
        }
        QVERIFY(writeBytes(inStore("memory.md"), "old facts"));
        disk->engage();
        const PersonaManager persona(m_store);
        disk->release();
        QCOMPARE(persona.soul(), defaultSoul);
        QCOMPARE(persona.memory(), "old facts");
        // The legacy file stays until MEMORY.md really holds its text; no empty
        // soul or memory file stands in for a default that could not be written.
        QCOMPARE(readBytes(inStore("memory.md")), "old facts");
        QVERIFY(!QFileInfo::exists(persona.soulURL()) && !QFileInfo::exists(persona.memoryURL()));
        const PersonaManager relaunched(m_store); // with room again: migrated at last
        QCOMPARE(readBytes(persona.memoryURL()), "old facts");
        QVERIFY(!QFileInfo::exists(inStore("memory.md")));
    }

    void savesAndAppendsOnAFullDiskChangeNothing_data() { addDiskFaults(); }
    void savesAndAppendsOnAFullDiskChangeNothing() {
        QFETCH(DiskFault, fault);
        const auto disk = diskUnderStore(fault);
        if (!disk->isAvailable()) {
            QSKIP("mounting a tmpfs needs root");
        }
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(14, 9, 41); });
        const QString log = inStore("memory/2026-03-14.md");
        // Six bytes short of a page: the next entry is cut short by the full disk.
        const QByteArray logText = "# 2026-03-14 Memory Log\n\n" + QByteArray(4064, '.') + "\n";
        QCOMPARE(logText.size(), 4090);
        QVERIFY(writeBytes(log, logText));
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);
        QSignalSpy errorSpy(&persona, &PersonaManager::lastWriteErrorChanged);
        disk->engage();
        QVERIFY(!persona.writeTextAtomically(persona.soulURL(), "new soul"));
        QVERIFY(!persona.writeTextAtomically(persona.memoryURL(), "new facts"));
        disk->release();
        // The editors show the system's reason.
        QCOMPARE(persona.lastWriteError(), fault == DiskFault::sizeLimit
                                               ? QStringLiteral("File too large")
                                               : QStringLiteral("No space left on device"));
        QCOMPARE(errorSpy.count(), 1);
        disk->engage(4096);
        persona.appendToDailyLog("an entry longer than the room that is left");
        persona.appendToDailyLog("x");
        disk->release();
        QCOMPARE(readBytes(persona.soulURL()), defaultSoul);
        QCOMPARE(readBytes(persona.memoryURL()), defaultMemory);
        QCOMPARE(readBytes(log), logText);
        QCOMPARE(filesSpy.count(), 2); // rescanned all the same

        QVERIFY(persona.writeTextAtomically(persona.soulURL(), QStringLiteral("new soul")));
        QVERIFY(persona.lastWriteError().isEmpty()); // until the next failure
    }

    void storageThatCannotBeCreatedStillRunsOnDefaults() {
        QVERIFY(writeBytes(m_store, "not a directory"));
        PersonaManager persona(m_store);
        persona.appendToDailyLog("nowhere to go");
        persona.reload();
        QCOMPARE(persona.soul(), defaultSoul);
        QCOMPARE(persona.memory(), defaultMemory);
        QVERIFY(persona.memoryFiles().isEmpty());
        QCOMPARE(readBytes(m_store), "not a directory");
    }

    void onlyMarkdownFilesNewestFirst() {
        writeAged("2026-03-14.md", "today", 1);
        writeAged("a.b.md", "dotted", 2);
        writeAged(".hidden.md", "hidden", 3);
        writeAged("broken.md", "\xff\xfe", 4);
        for (const char* ignored :
             {"NOTES.MD", "Notes.Md", "readme.markdown", "notes.txt", "md", "nested/deep.md"}) {
            writeAged(ignored, "ignored", 0);
        }
        // Undated: a link whose target is gone cannot be examined.
        QVERIFY(QFile::link(inStore("memory/gone"), inStore("memory/dangling.md")));
        MemoryFileScanner scanner;
        const QList<MemoryFile> files = scanner.scan(inStore("memory"));
        QCOMPARE(namesOf(files),
                 (QStringList{"2026-03-14", "a.b", ".hidden", "broken", "dangling"}));
        QCOMPARE(files[0].url, inStore("memory/2026-03-14.md"));
        QCOMPARE(
            (QStringList{files[0].content, files[1].content, files[3].content, files[4].content}),
            (QStringList{"today", "dotted", "", ""})); // invalid UTF-8 reads as nothing
        QVERIFY(qAbs(files[0].date.value().secsTo(QDateTime::currentDateTime()) - 3600) < 5);
        QVERIFY(!files[4].date.has_value() && !files[4].dateOrInvalid().isValid());
        // Every scan gives new ids, even of the contents it keeps.
        const QList<MemoryFile> again = scanner.scan(inStore("memory"));
        QCOMPARE(namesOf(again), namesOf(files));
        QSet<QUuid> ids;
        for (qsizetype i = 0; i < files.size(); ++i) {
            QCOMPARE(again[i].content, files[i].content);
            QCOMPARE(again[i].date, files[i].date);
            ids << files[i].id << again[i].id;
        }
        QCOMPARE(ids.size(), 2 * files.size());
        QVERIFY(!ids.contains(QUuid()));
    }

    void unlistableDirectoryGivesNothing() {
        writeAged("one.md", "1", 1);
        PersonaManager persona(m_store);
        QCOMPARE(persona.memoryFiles().size(), 1);
        QVERIFY(QDir(inStore("memory")).removeRecursively());
        persona.loadMemoryFiles();
        QVERIFY(persona.memoryFiles().isEmpty());
        // The directory is not recreated behind the user's back.
        QVERIFY(!QFileInfo::exists(inStore("memory")));
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
        const QString path = inStore("memory/note.md");
        writeAged("note.md", "AAAA", 1);
        const QDateTime modified = QFileInfo(path).lastModified();
        PersonaManager persona(m_store);
        QCOMPARE(persona.memoryFiles().first().content, "AAAA");
        QVERIFY(replaceFile ? persona.writeTextAtomically(path, newBytes)
                            : writeBytes(path, newBytes));
        // Even with the old modification time put back.
        QVERIFY(setModified(path, modified));
        persona.loadMemoryFiles();
        QCOMPARE(persona.memoryFiles().first().content, newBytes);
    }

    void settledContentIsStillCheckedAgainstTheDisk() {
        // No settle time: every file counts as settled at once, so only the file
        // system's own record (inode, size, times) can reveal a change.
        const QString path = inStore("memory/note.md");
        writeAged("note.md", "AAAA", 1);
        const QDateTime modified = QFileInfo(path).lastModified();
        MemoryFileScanner scanner(std::chrono::nanoseconds(0));
        QCOMPARE(scanner.scan(inStore("memory")).first().content, "AAAA");
        QCOMPARE(scanner.scan(inStore("memory")).first().content, "AAAA");
        QVERIFY(writeBytes(path, "BBBB") && setModified(path, modified));
        QCOMPARE(scanner.scan(inStore("memory")).first().content, "BBBB");
        QVERIFY(QFile::remove(path));
        QVERIFY(scanner.scan(inStore("memory")).isEmpty());
        writeAged("note.md", "CCCC", 1);
        QCOMPARE(scanner.scan(inStore("memory")).first().content, "CCCC");
    }

    void preview_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("preview");
        const auto row = [](const char* tag, const QString& content, const QString& preview) {
            QTest::newRow(tag) << content << preview;
        };
        row("daily log",
            "# 2026-03-14 Memory Log\n\n- [9:41 AM] likes tea\n- [9:50 AM] has a cat\n- [10:00 AM] "
            "third",
            "- [9:41 AM] likes tea - [9:50 AM] has a cat");
        row("empty", "", "Empty");
        row("only headings and blank lines", "# One\n\n## Two\n \t\n#Three\n", "Empty");
        row("whitespace only", " \n\t\n ", "Empty");
        row("second line taken whatever it holds", "# T\nfirst\n# not skipped",
            "first # not skipped");
        row("blank second line", "first\n\nthird", "first ");
        row("one line", "  just this  ", "just this");
        row("indented heading is content", "# T\n  # indented\nnext", "  # indented next");
        row("CR LF is one break", "# T\r\n\r\nline one\r\nline two\r\n", "line one line two");
        row("other line separators", "# T\u2028a\u2029b", "a b");
        row("80 of a long line", "# T\n" + QString(100, 'x'), QString(80, 'x'));
        row("exactly 80", QString(80, 'y'), QString(80, 'y'));
        row("cut after the join", QString(50, 'a') + "\n" + QString(50, 'b'),
            QString(50, 'a') + " " + QString(29, 'b'));
        // 79 letters then a family emoji (one character of several code points).
        const QString family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
        row("a character is never cut", QString(79, 'z') + family + "tail",
            QString(79, 'z') + family);
    }
    void preview() {
        QFETCH(QString, content);
        QFETCH(QString, preview);
        QCOMPARE(memoryFilePreview(content), preview);
    }

    void kindByNameEndingAndDateText() {
        const QList<QPair<QString, QString>> kinds{
            {"2026-03-14-personal", "personal"},   {"2026-03-14-work", "work"},
            {"2026-03-14-financial", "financial"}, {"2026-03-14", "daily"},
            {"2026-03-14-travel", "daily"},        {"work-notes", "daily"},
            {"2026-03-14-Work", "daily"},          {"-work", "work"}};
        for (const auto& [name, kind] : kinds) {
            QCOMPARE(toText(memoryFileKind(name)), kind);
        }
        const QDateTime date(QDate(2026, 3, 14), QTime(9, 41));
        QCOMPARE(memoryFileDateText(date, QLocale("en_US")), "Mar 14, 2026, 9:41 AM");
        QCOMPARE(memoryFileDateText(date, QLocale("de_DE")), "14. März 2026, 09:41");
        QCOMPARE(memoryFileDateText(date, QLocale("zh_CN")), "2026年3月14日, 09:41");
    }

    void savingAMemoryFileByItsPath() {
        PersonaManager persona(m_store);
        const QString path = inStore("memory/2026-03-14-work.md");
        QVERIFY(writeBytes(path, "old") && writeBytes(inStore("memory/other.md"), "other"));
        persona.loadMemoryFiles();
        const auto listed = [&persona](const QString& url) {
            const QList<MemoryFile> files = persona.memoryFiles();
            const auto it =
                std::find_if(files.begin(), files.end(),
                             [&url](const MemoryFile& file) { return file.url == url; });
            return it == files.end() ? MemoryFile{} : *it;
        };
        const QDateTime listedDate = listed(path).dateOrInvalid();
        QSignalSpy changes(&persona, &PersonaManager::memoryFilesChanged);
        // A path that is not listed (written after the scan) is not written.
        QVERIFY(writeBytes(inStore("memory/late.md"), "written outside"));
        QVERIFY(!persona.saveMemoryFile(inStore("memory/late.md"), "mine"));
        QCOMPARE(readBytes(inStore("memory/late.md")), "written outside");
        QCOMPARE(changes.count(), 0);

        QVERIFY(persona.saveMemoryFile(path, "new ✓"));
        QCOMPARE(readBytes(path), "new ✓");
        QCOMPARE(changes.count(), 1);
        QCOMPARE(persona.memoryFiles().size(), 2);
        QCOMPARE(listed(path).content, "new ✓");
        QCOMPARE(listed(path).dateOrInvalid(), listedDate); // until the next scan
        QCOMPARE(listed(inStore("memory/other.md")).content, "other");
        // A failed write says why and keeps the text listed: a folder in the file's place.
        QVERIFY(QFile::remove(path) && QDir().mkpath(path));
        QVERIFY(!persona.saveMemoryFile(path, "after"));
        QCOMPARE(persona.lastWriteError(), "Is a directory");
        QCOMPARE(listed(path).content, "after");
        QVERIFY(QFileInfo(path).isDir());
        // A save with nothing to write has nothing to report.
        QVERIFY(!persona.saveMemoryFile(path + ".gone", "x"));
        QVERIFY(persona.lastWriteError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(PersonaStoreTest)
#include "tst_persona_store.moc"
