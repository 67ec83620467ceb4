// Creating, loading, migrating and reloading the soul and the long-term memory,
// and writing the daily log.

#include "persona/persona_manager.h"

#include "persona_test_files.h"
#include "support/full_disk.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray expectedDefaultSoul =
    "你是一个运行在用户电脑上的本地AI助手。\n"
    "你重视用户的隐私，回答简洁但详尽，语气温暖自然。\n"
    "当用户告诉你关于你自己的信息（例如你的名字），请立即接受并记住。\n"
    "当用户分享了重要的个人信息，请主动保存到记忆中。";
const QByteArray expectedDefaultMemory =
    "# Long-Term Memory\n\n(Important facts about the user will be saved here.)";
const QByteArray invalidUtf8 = "caf\xc3 \xff\xfe";

} // namespace

class PersonaStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_store;

    QString inStore(const QString& name) const { return m_store + QLatin1Char('/') + name; }

    static void addDiskFaults() {
        QTest::addColumn<DiskFault>("fault");
        QTest::newRow("size limit") << DiskFault::sizeLimit;
        QTest::newRow("full tmpfs") << DiskFault::fullTmpfs;
    }
    // The folder that holds the store, as a disk about to run out of room.
    std::unique_ptr<FullDisk> diskUnderStore(DiskFault fault) const {
        const QString folder = QFileInfo(m_store).absolutePath();
        QDir().mkpath(folder);
        auto disk = std::make_unique<FullDisk>(fault, folder);
        QDir().mkpath(m_store + QStringLiteral("/memory"));
        return disk;
    }

private Q_SLOTS:
    void init() {
        m_store = m_root.path() + QStringLiteral("/") +
                  QString::fromLatin1(QTest::currentTestFunction()) +
                  QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral("/.nimbrook");
    }

    void firstLaunchInHomeCreatesEverything() {
        const QString home = QDir::homePath();
        QVERIFY2(home.contains(QStringLiteral("sandbox")), "tests must not touch the real home");
        QDir(home + QStringLiteral("/.nimbrook")).removeRecursively();

        const PersonaManager persona;
        QCOMPARE(persona.storageDirectory(), home + QStringLiteral("/.nimbrook"));
        QCOMPARE(persona.soulURL(), home + QStringLiteral("/.nimbrook/soul.md"));
        QCOMPARE(persona.memoryURL(), home + QStringLiteral("/.nimbrook/MEMORY.md"));
        QCOMPARE(persona.memoryDirectory(), home + QStringLiteral("/.nimbrook/memory"));
        QCOMPARE(readBytes(persona.soulURL()), expectedDefaultSoul);
        QCOMPARE(readBytes(persona.memoryURL()), expectedDefaultMemory);
        QVERIFY(QFileInfo(persona.memoryDirectory()).isDir());
        QVERIFY(QDir(persona.memoryDirectory())
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QCOMPARE(persona.soul(), QString::fromUtf8(expectedDefaultSoul));
        QCOMPARE(persona.memory(), QString::fromUtf8(expectedDefaultMemory));
        QVERIFY(persona.memoryFiles().isEmpty());
        QCOMPARE(persona.agentName(), QStringLiteral("Emberglass"));
        // No temporary files are left beside the new ones.
        QStringList created =
            QDir(persona.storageDirectory())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        created.sort();
        QCOMPARE(created, (QStringList{QStringLiteral("MEMORY.md"), QStringLiteral("memory"),
                                       QStringLiteral("soul.md")}));
    }

    void missingParentDirectoriesAreCreated() {
        const PersonaManager persona(m_store + QStringLiteral("/deeper/still"));
        QVERIFY(QFileInfo(persona.memoryDirectory()).isDir());
        QCOMPARE(readBytes(persona.soulURL()), expectedDefaultSoul);
    }

    void existingFilesAreLoadedUnchanged() {
        const QByteArray soul = "# Aria\r\nPlayful.\n\n";
        const QByteArray memory = "User: Sam\n";
        QVERIFY(writeBytes(inStore(QStringLiteral("soul.md")), soul));
        QVERIFY(writeBytes(inStore(QStringLiteral("MEMORY.md")), memory));
        const PersonaManager persona(m_store);
        QCOMPARE(persona.soul(), QString::fromUtf8(soul));
        QCOMPARE(persona.memory(), QString::fromUtf8(memory));
        QCOMPARE(persona.agentName(), QStringLiteral("Aria"));
        QCOMPARE(readBytes(persona.soulURL()), soul);
    }

    void invalidUtf8GivesTheDefaultAndLeavesTheFile_data() {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("soul") << QStringLiteral("soul.md");
        QTest::newRow("memory") << QStringLiteral("MEMORY.md");
    }
    void invalidUtf8GivesTheDefaultAndLeavesTheFile() {
        QFETCH(QString, fileName);
        QVERIFY(writeBytes(inStore(fileName), invalidUtf8));
        const PersonaManager persona(m_store);
        QCOMPARE(persona.soul(), QString::fromUtf8(expectedDefaultSoul));
        QCOMPARE(persona.memory(), QString::fromUtf8(expectedDefaultMemory));
        QCOMPARE(readBytes(inStore(fileName)), invalidUtf8);
    }

    void legacyMemoryMigration_data() {
        QTest::addColumn<QByteArray>("memoryFile"); // null: absent
        QTest::addColumn<QByteArray>("legacyFile");
        QTest::addColumn<QString>("expectedMemory");
        QTest::addColumn<QByteArray>("expectedMemoryFile");
        QTest::addColumn<bool>("legacyRemains");

        QTest::newRow("placeholder legacy is dropped")
            << QByteArray("kept facts") << expectedDefaultMemory << QStringLiteral("kept facts")
            << QByteArray("kept facts") << false;
        QTest::newRow("legacy placeholder plus line feed is migrated")
            << QByteArray() << expectedDefaultMemory + "\n"
            << QString::fromUtf8(expectedDefaultMemory + "\n") << expectedDefaultMemory + "\n"
            << false;
        QTest::newRow("legacy text on first launch")
            << QByteArray() << QByteArray("old facts") << QStringLiteral("old facts")
            << QByteArray("old facts") << false;
        QTest::newRow("legacy text over the placeholder")
            << expectedDefaultMemory << QByteArray("old facts") << QStringLiteral("old facts")
            << QByteArray("old facts") << false;
        QTest::newRow("both hold text: nothing is lost")
            << QByteArray("new facts") << QByteArray("old facts")
            << QStringLiteral("new facts\n\nold facts") << QByteArray("new facts\n\nold facts")
            << false;
        QTest::newRow("same text in both")
            << QByteArray("facts") << QByteArray("facts") << QStringLiteral("facts")
            << QByteArray("facts") << false;
        QTest::newRow("unreadable legacy stays")
            << QByteArray("facts") << invalidUtf8 << QStringLiteral("facts") << QByteArray("facts")
            << true;
        QTest::newRow("unreadable MEMORY.md is not overwritten")
            << invalidUtf8 << QByteArray("old facts") << QString::fromUtf8(expectedDefaultMemory)
            << invalidUtf8 << true;
    }
    void legacyMemoryMigration() {
        QFETCH(QByteArray, memoryFile);
        QFETCH(QByteArray, legacyFile);
        QFETCH(QString, expectedMemory);
        QFETCH(QByteArray, expectedMemoryFile);
        QFETCH(bool, legacyRemains);
        if (!memoryFile.isNull()) {
            QVERIFY(writeBytes(inStore(QStringLiteral("MEMORY.md")), memoryFile));
        }
        QVERIFY(writeBytes(inStore(QStringLiteral("memory.md")), legacyFile));

        const PersonaManager persona(m_store);
        QCOMPARE(persona.memory(), expectedMemory);
        QCOMPARE(readBytes(persona.memoryURL()), expectedMemoryFile);
        QCOMPARE(QFileInfo::exists(inStore(QStringLiteral("memory.md"))), legacyRemains);
        if (legacyRemains) {
            QCOMPARE(readBytes(inStore(QStringLiteral("memory.md"))), legacyFile);
        }
    }

    void reloadPicksUpEditsAndKeepsValuesOfUnreadableFiles() {
        QVERIFY(writeBytes(inStore(QStringLiteral("memory/topic.md")), "topic"));
        PersonaManager persona(m_store);
        QSignalSpy soulSpy(&persona, &PersonaManager::soulChanged);
        QSignalSpy memorySpy(&persona, &PersonaManager::memoryChanged);
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);

        QVERIFY(writeBytes(persona.soulURL(), "# Aria"));
        QVERIFY(writeBytes(persona.memoryURL(), "likes tea"));
        persona.reload();
        QCOMPARE(persona.soul(), QStringLiteral("# Aria"));
        QCOMPARE(persona.agentName(), QStringLiteral("Aria"));
        QCOMPARE(persona.memory(), QStringLiteral("likes tea"));
        QCOMPARE(soulSpy.count(), 1);
        QCOMPARE(memorySpy.count(), 1);
        QCOMPARE(filesSpy.count(), 1); // a rescan always gives new records

        QVERIFY(QFile::remove(persona.soulURL()));
        QVERIFY(writeBytes(persona.memoryURL(), invalidUtf8));
        persona.reload();
        QCOMPARE(persona.soul(), QStringLiteral("# Aria"));
        QCOMPARE(persona.memory(), QStringLiteral("likes tea"));
        QVERIFY(!QFileInfo::exists(persona.soulURL()));
        QCOMPARE(readBytes(persona.memoryURL()), invalidUtf8);
        QCOMPARE(soulSpy.count(), 1);
        QCOMPARE(memorySpy.count(), 1);
    }

    void settersNotifyOnlyOnChange() {
        PersonaManager persona(m_store);
        QSignalSpy soulSpy(&persona, &PersonaManager::soulChanged);
        QSignalSpy memorySpy(&persona, &PersonaManager::memoryChanged);
        persona.setSoul(persona.soul());
        persona.setMemory(persona.memory());
        QCOMPARE(soulSpy.count(), 0);
        QCOMPARE(memorySpy.count(), 0);
        persona.setSoul(QStringLiteral("name: Kai"));
        persona.setMemory(QStringLiteral("new"));
        QCOMPARE(soulSpy.count(), 1);
        QCOMPARE(memorySpy.count(), 1);
        QCOMPARE(persona.agentName(), QStringLiteral("Kai"));
        // Assigning does not save: the editors write the file themselves.
        QCOMPARE(readBytes(persona.soulURL()), expectedDefaultSoul);
        QVERIFY(persona.writeTextAtomically(persona.soulURL(), persona.soul()));
        QCOMPARE(readBytes(persona.soulURL()), QByteArray("name: Kai"));
    }

    void dailyLogFirstAndSecondAppend() {
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(2026, 3, 14, 9, 41); });
        const QString older = persona.memoryDirectory() + QStringLiteral("/2026-03-13.md");
        QVERIFY(writeBytes(older, "# older"));
        QVERIFY(setModified(older, QDateTime::currentDateTime().addDays(-1)));
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);
        const QByteArray time =
            QLocale::system().toString(QTime(9, 41), QLocale::ShortFormat).toUtf8();

        persona.appendToDailyLog(utf8("用户喜欢猫"));
        const QString log = persona.memoryDirectory() + QStringLiteral("/2026-03-14.md");
        const QByteArray first = "# 2026-03-14 Memory Log\n\n- [" + time + "] 用户喜欢猫\n";
        QCOMPARE(readBytes(log), first);
        QCOMPARE(filesSpy.count(), 1);
        QCOMPARE(persona.memoryFiles().size(), 2);
        QCOMPARE(persona.memoryFiles().first().name, QStringLiteral("2026-03-14"));
        QCOMPARE(persona.memoryFiles().first().content, QString::fromUtf8(first));

        persona.appendToDailyLog(QStringLiteral("second [entry]"));
        QCOMPARE(readBytes(log), first + "- [" + time + "] second [entry]\n");
        QCOMPARE(filesSpy.count(), 2);
        QCOMPARE(persona.memoryFiles().first().name, QStringLiteral("2026-03-14"));
        QVERIFY(persona.memoryFiles().first().content.endsWith(QStringLiteral("second [entry]\n")));
        const QStringList leftovers =
            QDir(persona.memoryDirectory()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(leftovers,
                 (QStringList{QStringLiteral("2026-03-13.md"), QStringLiteral("2026-03-14.md")}));
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
        persona.setClock([] { return localTime(2026, 3, 14, 21, 5); });
        const QByteArray time =
            QLocale::system().toString(QTime(21, 5), QLocale::ShortFormat).toUtf8();
        persona.appendToDailyLog(QStringLiteral("one"));
        const QString log = persona.memoryDirectory() + QStringLiteral("/2026-03-14.md");
        // The agent rewrites the log the way write_file does: a new file in its place.
        QVERIFY(persona.writeTextAtomically(log, QString::fromUtf8(agentText)));
        persona.appendToDailyLog(QStringLiteral("two"));
        QCOMPARE(readBytes(log), agentText + separator + "- [" + time + "] two\n");
    }

    void appendToAnUnopenableLogWritesNothingButRescans() {
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(2026, 3, 14, 8, 0); });
        QVERIFY(QDir().mkpath(persona.memoryDirectory() + QStringLiteral("/2026-03-14.md")));
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);
        persona.appendToDailyLog(QStringLiteral("lost?"));
        QCOMPARE(filesSpy.count(), 1);
        QVERIFY(QFileInfo(persona.memoryDirectory() + QStringLiteral("/2026-03-14.md")).isDir());
        QVERIFY(QDir(persona.memoryDirectory()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void startUpOnAFullDiskLosesNothing_data() { addDiskFaults(); }
    void startUpOnAFullDiskLosesNothing() {
        QFETCH(DiskFault, fault);
        const auto disk = diskUnderStore(fault);
        if (!disk->isAvailable()) {
            QSKIP("mounting a tmpfs needs root");
        }
        QVERIFY(writeBytes(inStore(QStringLiteral("memory.md")), "old facts"));
        disk->engage();
        const PersonaManager persona(m_store);
        disk->release();
        QCOMPARE(persona.soul(), QString::fromUtf8(expectedDefaultSoul));
        QCOMPARE(persona.memory(), QStringLiteral("old facts"));
        // The legacy file stays until MEMORY.md really holds its text; no empty
        // soul or memory file stands in for a default that could not be written.
        QCOMPARE(readBytes(inStore(QStringLiteral("memory.md"))), QByteArray("old facts"));
        QVERIFY(!QFileInfo::exists(persona.soulURL()));
        QVERIFY(!QFileInfo::exists(persona.memoryURL()));

        const PersonaManager relaunched(m_store); // with room again: migrated at last
        QCOMPARE(readBytes(persona.memoryURL()), QByteArray("old facts"));
        QVERIFY(!QFileInfo::exists(inStore(QStringLiteral("memory.md"))));
    }

    void savesAndAppendsOnAFullDiskChangeNothing_data() { addDiskFaults(); }
    void savesAndAppendsOnAFullDiskChangeNothing() {
        QFETCH(DiskFault, fault);
        const auto disk = diskUnderStore(fault);
        if (!disk->isAvailable()) {
            QSKIP("mounting a tmpfs needs root");
        }
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(2026, 3, 14, 9, 41); });
        const QString log = persona.memoryDirectory() + QStringLiteral("/2026-03-14.md");
        // Six bytes short of a page: the next entry is cut short by the full disk.
        const QByteArray logText = "# 2026-03-14 Memory Log\n\n" + QByteArray(4064, '.') + "\n";
        QCOMPARE(logText.size(), 4090);
        QVERIFY(writeBytes(log, logText));
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);

        QSignalSpy errorSpy(&persona, &PersonaManager::lastWriteErrorChanged);
        disk->engage();
        QVERIFY(!persona.writeTextAtomically(persona.soulURL(), QStringLiteral("new soul")));
        QVERIFY(!persona.writeTextAtomically(persona.memoryURL(), QStringLiteral("new facts")));
        disk->release();
        // The editors show the system's reason.
        QCOMPARE(persona.lastWriteError(), fault == DiskFault::sizeLimit
                                               ? QStringLiteral("File too large")
                                               : QStringLiteral("No space left on device"));
        QCOMPARE(errorSpy.count(), 1);
        disk->engage(4096);
        persona.appendToDailyLog(QStringLiteral("an entry longer than the room that is left"));
        persona.appendToDailyLog(QStringLiteral("x"));
        disk->release();

        QCOMPARE(readBytes(persona.soulURL()), expectedDefaultSoul);
        QCOMPARE(readBytes(persona.memoryURL()), expectedDefaultMemory);
        QCOMPARE(readBytes(log), logText);
        QCOMPARE(filesSpy.count(), 2); // rescanned all the same

        QVERIFY(persona.writeTextAtomically(persona.soulURL(), QStringLiteral("new soul")));
        QVERIFY(persona.lastWriteError().isEmpty()); // until the next failure
    }

    void storageThatCannotBeCreatedStillRunsOnDefaults() {
        // A plain file where the directory should be.
        QVERIFY(writeBytes(m_store, "not a directory"));
        PersonaManager persona(m_store);
        QCOMPARE(persona.soul(), QString::fromUtf8(expectedDefaultSoul));
        QCOMPARE(persona.memory(), QString::fromUtf8(expectedDefaultMemory));
        QVERIFY(persona.memoryFiles().isEmpty());
        persona.appendToDailyLog(QStringLiteral("nowhere to go"));
        persona.reload();
        QCOMPARE(persona.soul(), QString::fromUtf8(expectedDefaultSoul));
        QVERIFY(persona.memoryFiles().isEmpty());
        QCOMPARE(readBytes(m_store), QByteArray("not a directory"));
    }
};

QTEST_GUILESS_MAIN(PersonaStoreTest)
#include "tst_persona_store.moc"
