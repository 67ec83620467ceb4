// The persona store: creating, loading, migrating and reloading the soul and
// the long-term memory; the daily log; the memory directory (which files, how
// named and ordered, read afresh when changed outside); how a memory file is
// summarised and saved; all of it on a full disk. And the system prompt built
// from it: its sections, the recent memories, the clock past midnight, the
// agent's name and the memory tags of a reply. Tables: tests/data/persona/store.json.

#include "persona/agent_name.h"
#include "persona/memory_file_display.h"
#include "persona/memory_file_scanner.h"
#include "persona/memory_tags.h"
#include "persona/persona_manager.h"
#include "persona/persona_texts.h"
#include "persona/prompt_texts.h"
#include "persona/text_files.h"

#include "support/full_disk.h"
#include "support/json_rows.h"
#include "support/test_files.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <linux/capability.h>
#include <sys/syscall.h>

namespace {

const QString table = "persona/store.json";
const QByteArray defaultSoul = PromptTexts::defaultSoul().toUtf8();
const QByteArray defaultMemory = PromptTexts::defaultMemory().toUtf8();
const QString separator = PromptTexts::sectionSeparator();

// A row's text with the defaults put in for their names.
QString textOf(const QJsonValue& value) {
    return value.toString()
        .replace("{defaultMemory}", PromptTexts::defaultMemory())
        .replace("{defaultSoul}", PromptTexts::defaultSoul());
}
QByteArray bytesOf(const QJsonValue& value) {
    return value.toString().startsWith("hex:") ? jsonBytes(value) : textOf(value).toUtf8();
}

QDateTime march(int day, int hour, int minute) {
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute));
}

// Whether this thread may bypass file modes (root may): off, a file of mode
// 0200 cannot be read, as it cannot for anyone else.
bool bypassFileModes(bool bypass) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, 2> caps{};
    if (::syscall(SYS_capget, &header, caps.data()) != 0) {
        return false;
    }
    const __u32 bits = (1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH);
    caps[0].effective =
        bypass ? caps[0].effective | (caps[0].permitted & bits) : caps[0].effective & ~bits;
    return ::syscall(SYS_capset, &header, caps.data()) == 0;
}

// The folder's mode, then those of its entries by name (a folder's entries after it).
QList<uint> modesIn(const QString& folder) {
    QList<uint> modes{modeOf(folder)};
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    QStringList paths;
    while (entries.hasNext()) {
        paths.append(entries.next());
    }
    paths.sort();
    std::ranges::transform(paths, std::back_inserter(modes), modeOf);
    return modes;
}

// The memory instructions name the store's paths and today's topic files.
void expectStorePieces(const QString& instructions, const QString& store, const QString& today) {
    for (QString piece : jsonTexts(jsonTable(table, "storePieces"))) {
        piece.replace("{store}", store).replace("{today}", today);
        QVERIFY2(instructions.contains(piece), qPrintable(piece));
    }
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

    void writeFiles(const QJsonObject& files) {
        for (auto it = files.begin(); it != files.end(); ++it) {
            QVERIFY(writeBytes(inStore(it.key()), bytesOf(it.value())));
        }
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
        QCOMPARE(persona.storageDirectory(), home + "/.nimbrook");
        QCOMPARE(readBytes(persona.soulURL()), defaultSoul);
        QCOMPARE(readBytes(persona.memoryURL()), defaultMemory);
        // No temporary files are left beside the new ones.
        const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(persona.storageDirectory()).entryList(all, QDir::Name),
                 (QStringList{".emberglass-private", "MEMORY.md", "memory", "soul.md"}));
        // Readable by the user only, whatever the umask; nothing in the memory folder.
        QCOMPARE(modesIn(persona.storageDirectory()), (QList<uint>{0700, 0600, 0600, 0700, 0600}));
    }

    // Files as found: loaded as they are, unreadable ones left alone (their
    // text the default), the legacy memory.md merged into MEMORY.md.
    void filesAreLoadedAndMigrated_data() { addJsonRows(table, "loading"); }
    void filesAreLoadedAndMigrated() {
        QFETCH(QJsonObject, row);
        const QJsonObject files = row.value("files").toObject();
        writeFiles(files);
        const PersonaManager persona(m_store);
        QCOMPARE(persona.soul(), textOf(row.value("soul").toString("{defaultSoul}")));
        QCOMPARE(persona.memory(), textOf(row.value("memory").toString("{defaultMemory}")));
        QCOMPARE(persona.agentName(), row.value("agentName").toString("Emberglass"));
        QCOMPARE(persona.soulIssues(), jsonTexts(row.value("soulIssues")));
        QCOMPARE(persona.memoryIssues(), jsonTexts(row.value("memoryIssues")));
        // What is on disk afterwards: as written unless the row says otherwise.
        QJsonObject after = row.value("after").toObject();
        for (auto it = files.begin(); it != files.end(); ++it) {
            if (!after.contains(it.key())) {
                after.insert(it.key(), it.value());
            }
        }
        for (auto it = after.begin(); it != after.end(); ++it) {
            QCOMPARE(readBytes(inStore(it.key())),
                     it.value().isNull() ? QByteArray() : bytesOf(it.value()));
        }
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
        QVERIFY(writeBytes(persona.memoryURL(), "\xff"));
        persona.reload();
        QCOMPARE((QStringList{persona.soul(), persona.memory()}),
                 (QStringList{"# Aria", "\uFFFD"})); // read leniently, and marked
        QCOMPARE(persona.memoryIssues(), QStringList{"notUtf8"});
        // The reload of a missing file keeps the old value and says nothing.
        QCOMPARE((QList<qsizetype>{soulSpy.count(), memorySpy.count()}), (QList<qsizetype>{1, 2}));
        // Setters do not save: the editors write the file.
        persona.setSoul("name: Kai");
        persona.setMemory("new");
        QCOMPARE(persona.agentName(), "Kai");
        QCOMPARE(readBytes(persona.memoryURL()), "\xff");
    }

    // The log as appended to, and as the agent rewrote it between two entries.
    void appendsKeepTheAgentsEdits_data() { addJsonRows(table, "appends"); }
    void appendsKeepTheAgentsEdits() {
        QFETCH(QJsonObject, row);
        PersonaManager persona(m_store);
        persona.setClock([] { return march(14, 21, 5); });
        writeAged("2026-03-13.md", "# older", 24);
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);
        persona.appendToDailyLog("用户喜欢猫");
        const QString log = inStore("memory/2026-03-14.md");
        const QByteArray entry =
            "- [" + QLocale::system().toString(QTime(21, 5), QLocale::ShortFormat).toUtf8() + "] ";
        QCOMPARE(readBytes(log), "# 2026-03-14 Memory Log\n\n" + entry + "用户喜欢猫\n");
        // The agent rewrites the log (or not) the way write_file does: a new file in its place.
        QByteArray before = readBytes(log);
        if (!row.value("agentText").isNull()) {
            before = bytesOf(row.value("agentText"));
            QVERIFY(persona.writeTextAtomically(log, before));
        }
        persona.appendToDailyLog("two [entry]");
        const QByteArray expected =
            before + bytesOf(row.value("separator")) + entry + "two [entry]\n";
        QCOMPARE(readBytes(log), expected);
        QCOMPARE(filesSpy.count(), 2);
        QCOMPARE(persona.memoryFiles().first().content, expected);
    }

    // Nothing is lost on a full disk: not at start-up, nor by saves and appends.
    void aFullDiskLosesNothing_data() {
        QTest::addColumn<DiskFault>("fault");
        QTest::newRow("size limit") << DiskFault::sizeLimit;
        QTest::newRow("full tmpfs") << DiskFault::fullTmpfs;
    }
    void aFullDiskLosesNothing() {
        QFETCH(DiskFault, fault);
        // The folder that holds the store, as a disk about to run out of room.
        QDir().mkpath(QFileInfo(m_store).absolutePath());
        FullDisk disk(fault, QFileInfo(m_store).absolutePath());
        if (!disk.isAvailable()) {
            QSKIP("mounting a tmpfs needs root");
        }
        QDir().mkpath(m_store + "/memory");
        QVERIFY(writeBytes(inStore("memory.md"), "old facts"));
        disk.engage();
        const PersonaManager starting(m_store);
        disk.release();
        QCOMPARE((QStringList{starting.soul(), starting.memory()}),
                 (QStringList{defaultSoul, "old facts"}));
        // The legacy file stays until MEMORY.md really holds its text; no empty
        // soul or memory file stands in for a default that could not be written.
        QCOMPARE(readBytes(inStore("memory.md")), "old facts");
        QVERIFY(!QFileInfo::exists(starting.soulURL()) && !QFileInfo::exists(starting.memoryURL()));
        PersonaManager persona(m_store); // with room again: migrated at last
        QCOMPARE(readBytes(persona.memoryURL()), "old facts");
        QVERIFY(!QFileInfo::exists(inStore("memory.md")));

        persona.setClock([] { return march(14, 9, 41); });
        const QString log = inStore("memory/2026-03-14.md");
        // Six bytes short of a page: the next entry is cut short by the full disk.
        const QByteArray logText = "# 2026-03-14 Memory Log\n\n" + QByteArray(4064, '.') + "\n";
        QVERIFY(writeBytes(log, logText));
        QSignalSpy filesSpy(&persona, &PersonaManager::memoryFilesChanged);
        disk.engage(4096);
        const QString reason =
            persona.appendToDailyLog("an entry longer than the room that is left");
        persona.appendToDailyLog("x");
        disk.release();
        // Said, not swallowed: the reply shows the system's reason. (A failed save
        // of the soul or a memory file: the persona panel's full-disk test.)
        QCOMPARE(reason, QString::fromLocal8Bit(std::strerror(disk.expectedError())));
        QCOMPARE(readBytes(log), logText);
        QCOMPARE(filesSpy.count(), 2); // rescanned all the same
    }

    void onlyMarkdownFilesNewestFirst() {
        // Each file with its text and age in hours; only the first four are listed.
        const QJsonObject written = jsonTable(table, "scanned").toObject();
        for (const QString& name : written.keys()) {
            writeAged(name, bytesOf(written[name][0]), written[name][1].toInt());
        }
        // Undated: a link whose target is gone cannot be examined.
        QVERIFY(QFile::link(inStore("memory/gone"), inStore("memory/dangling.md")));
        MemoryFileScanner scanner;
        const QList<MemoryFile> files = scanner.scan(inStore("memory"));
        QStringList names;
        std::ranges::transform(files, std::back_inserter(names), &MemoryFile::name);
        QCOMPARE(names, (QStringList{"2026-03-14", "a.b", ".hidden", "broken", "dangling"}));
        QCOMPARE(files[0].url, inStore("memory/2026-03-14.md"));
        QCOMPARE(
            (QStringList{files[0].content, files[1].content, files[3].content, files[4].content}),
            (QStringList{"today", "dotted", "", ""})); // invalid UTF-8 reads as nothing
        QVERIFY(qAbs(files[0].date.value().secsTo(QDateTime::currentDateTime()) - 3600) < 5);
        QVERIFY(!files[4].date.has_value() && !files[4].dateOrInvalid().isValid());
    }

    void fileChangedOutsideIsReadAfresh_data() { addJsonRows(table, "changedOutside"); }
    void fileChangedOutsideIsReadAfresh() {
        QFETCH(QJsonObject, row);
        const QByteArray newBytes = bytesOf(row.value("bytes"));
        const QString path = inStore("memory/note.md");
        writeAged("note.md", "AAAA", 1);
        const QDateTime modified = QFileInfo(path).lastModified();
        // No settle time: every file counts as settled at once, so only the file
        // system's own record (inode, size, times) can reveal a change. (One
        // changed within the settle time is read again anyway.)
        MemoryFileScanner settled(std::chrono::nanoseconds(0));
        QCOMPARE(settled.scan(inStore("memory")).first().content, "AAAA");
        QCOMPARE(settled.scan(inStore("memory")).first().content, "AAAA");
        QVERIFY(row.value("replace").toBool()
                    ? PersonaManager(m_store).writeTextAtomically(path, newBytes)
                    : writeBytes(path, newBytes));
        QVERIFY(setModified(path, modified)); // even with the old time put back
        QCOMPARE(settled.scan(inStore("memory")).first().content, newBytes);
        QVERIFY(QFile::remove(path));
        QVERIFY(settled.scan(inStore("memory")).isEmpty());
    }

    // What is read from a text: a memory file's preview, kind and date, the
    // agent's name in a soul, the memory tags of a reply.
    void textRules_data() { addJsonRows(table, "textRules"); }
    void textRules() {
        QFETCH(QJsonObject, row);
        const QString input = textOf(row.value("input"));
        const QString rule = row.value("rule").toString();
        const QJsonValue read =
            rule == "preview"     ? QJsonValue(memoryFilePreview(input))
            : rule == "agentName" ? QJsonValue(agentNameFromSoul(input))
            : rule == "kind"      ? QJsonValue(QMetaEnum::fromType<MemoryFileKind>().valueToKey(
                                        int(memoryFileKind(input))))
            : rule == "date"
                ? QJsonValue(memoryFileDateText(QDateTime::fromString(input, Qt::ISODate),
                                                QLocale(row.value("locale").toString())))
                : QJsonValue(QJsonArray::fromStringList(::memoryTags(input)));
        QCOMPARE(read, row.value("expected"));
    }

    // A store of an older version, open to everyone, is closed up once; what the
    // user opens again afterwards stays open.
    void anOpenStoreIsMadePrivateOnce() {
        QVERIFY(writeBytes(inStore("soul.md"), "# Aria") && writeBytes(inStore("MEMORY.md"), "m") &&
                writeBytes(inStore("memory/2026-03-14.md"), "log"));
        for (const char* name : {"", "memory"}) {
            QCOMPARE(::chmod(QFile::encodeName(inStore(name)), 0755), 0);
        }
        for (const char* name : {"soul.md", "MEMORY.md", "memory/2026-03-14.md"}) {
            QCOMPARE(::chmod(QFile::encodeName(inStore(name)), 0644), 0);
        }
        PersonaManager(m_store).appendToDailyLog("new");
        // The folder, the marker, MEMORY.md, memory/ and its two logs (one new), soul.md.
        QCOMPARE(modesIn(m_store), (QList<uint>{0700, 0600, 0600, 0700, 0600, 0600, 0600}));
        QCOMPARE(::chmod(QFile::encodeName(inStore("soul.md")), 0644), 0);
        const PersonaManager again(m_store);
        QCOMPARE(modeOf(inStore("soul.md")), 0644u);
        QCOMPARE(again.soul(), "# Aria");
    }

    // Above 256 KiB the soul and the memory are cut in the prompt, at a character, and say so.
    void largeFilesAreCutInThePrompt() {
        const QString soul = "# Aria\n" + QString(200 * 1024, QChar(0x00E9)); // 2 bytes each
        const QString memory = QString(256 * 1024, 'm');
        QVERIFY(writeBytes(inStore("soul.md"), soul.toUtf8()));
        QVERIFY(writeBytes(inStore("MEMORY.md"), (memory + "\n").toUtf8()));
        PersonaManager persona(m_store);
        const QStringList sections = persona.systemPrompt().split(separator);
        const QString soulBody = sections[0].mid(PromptTexts::personaSectionHeading().size());
        QCOMPARE(soulBody,
                 soul.left(7 + (256 * 1024 - 7) / 2) + PromptTexts::promptCutNotice("soul.md"));
        QCOMPARE(sections[1], PromptTexts::longTermMemorySectionHeading() + memory); // not above
        QCOMPARE(persona.soulIssues() + persona.memoryIssues(), QStringList{"tooLarge"});
    }

    // A write to the soul or the memory is recognised by any spelling.
    void spellingsOfTheStoresFiles_data() { addJsonRows(table, "spellings"); }
    void spellingsOfTheStoresFiles() {
        QFETCH(QJsonObject, row);
        const PersonaManager persona(m_store);
        const QString link = m_store + "-link";
        QVERIFY(QFile::link(m_store, link));
        const QString path =
            row.value("path").toString().replace("{store}", m_store).replace("{link}", link);
        QCOMPARE(persona.isSoulOrMemory(path), row.value("own").toBool());
    }

    // The memory file is watched as the soul is (the editor's side, with the
    // soul: tst_views): a change on disk shows at once, unless the user is
    // editing, whose text is kept and whose save then asks first, even before
    // the watcher has said so. The prompt is the file on disk.
    void theFilesOnDiskAreFollowed() {
        PersonaManager persona(m_store);
        QVERIFY(writeTextAtomically(persona.memoryURL(), "written by the agent").ok());
        QTRY_COMPARE(persona.memory(), "written by the agent");
        QVERIFY(!persona.saveNeedsConfirmation(persona.memoryURL()));
        persona.setMemory("typed in the panel");
        QVERIFY(writeBytes(persona.memoryURL(), "written again"));
        // Known before the watcher says so: the save reads the file first.
        QVERIFY(persona.saveNeedsConfirmation(persona.memoryURL()));
        QTRY_COMPARE(persona.memoryIssues(), QStringList{"changedOnDisk"});
        QCOMPARE(persona.memory(), "typed in the panel");
        QVERIFY(persona.systemPrompt().contains("written again"));
    }

    void savingAMemoryFileByItsPath() {
        PersonaManager persona(m_store);
        const QString path = inStore("memory/2026-03-14-work.md");
        QVERIFY(writeBytes(path, "old") && writeBytes(inStore("memory/other.md"), "other"));
        persona.loadMemoryFiles();
        const auto listed = [&persona](const QString& url) {
            const QList<MemoryFile> files = persona.memoryFiles();
            const auto it = std::ranges::find(files, url, &MemoryFile::url);
            return it == files.end() ? MemoryFile{} : *it;
        };
        QSignalSpy changes(&persona, &PersonaManager::memoryFilesChanged);
        // A path that is not listed (written after the scan) is not written.
        QVERIFY(writeBytes(inStore("memory/late.md"), "written outside"));
        QVERIFY(!persona.saveMemoryFile(inStore("memory/late.md"), "mine"));
        QCOMPARE(readBytes(inStore("memory/late.md")), "written outside");
        QCOMPARE(changes.count(), 0);

        QVERIFY(persona.saveMemoryFile(path, "new ✓"));
        QCOMPARE(readBytes(path), "new ✓");
        QCOMPARE(changes.count(), 1);
        QCOMPARE(listed(path).content, "new ✓");
        // One that is not UTF-8 was listed as empty: its text is not replaced unseen.
        QVERIFY(writeBytes(inStore("memory/other.md"), "caf\xe9"));
        QVERIFY(!persona.saveMemoryFile(inStore("memory/other.md"), "typed"));
        QCOMPARE(readBytes(inStore("memory/other.md")), "caf\xe9");
        QCOMPARE(persona.lastWriteError(), PersonaTexts::notUtf8OnDisk());
        // So is one that cannot be read.
        const QString unreadable = inStore("memory/other.md");
        QVERIFY(::chmod(QFile::encodeName(unreadable), 0200) == 0 && bypassFileModes(false));
        const bool saved = persona.saveMemoryFile(unreadable, "typed");
        QVERIFY(bypassFileModes(true) && !saved);
        QVERIFY(::chmod(QFile::encodeName(unreadable), 0600) == 0);
        QCOMPARE(persona.lastWriteError(), PersonaTexts::unreadableOnDisk());
        QCOMPARE(readBytes(unreadable), "caf\xe9");
        // A failed write says why and keeps the text listed: a folder in the file's place.
        QVERIFY(QFile::remove(path) && QDir().mkpath(path));
        QVERIFY(!persona.saveMemoryFile(path, "after"));
        QCOMPARE(persona.lastWriteError(), "Is a directory");
        QCOMPARE(listed(path).content, "after");
        // A save with nothing to write has nothing to report.
        QVERIFY(!persona.saveMemoryFile(path + ".gone", "x"));
        QVERIFY(persona.lastWriteError().isEmpty());
    }

    // The prompt in its order: the persona, the long-term memory (left out when blank or
    // the placeholder), the memory instructions, the tool guide; a blank soul drops the persona.
    void longTermMemorySection_data() { addJsonRows(table, "longTermMemory"); }
    void longTermMemorySection() {
        QFETCH(QJsonObject, row);
        const QString section = textOf(row.value("section")); // empty: left out
        PersonaManager persona(m_store);
        persona.setClock([] { return march(14, 10, 0); }); // the same day in each piece
        QVERIFY(persona.writeTextAtomically(persona.soulURL(), "# Aria\n"));
        QVERIFY(persona.writeTextAtomically(persona.memoryURL(), textOf(row.value("memory"))));
        const QString memory = section.isEmpty() ? QString() : section + separator;
        const QString rest = persona.memoryInstructions() + separator + PromptTexts::toolGuide();
        QCOMPARE(persona.systemPrompt(),
                 PromptTexts::personaSectionHeading() + "# Aria" + separator + memory + rest);
        QVERIFY(persona.writeTextAtomically(persona.soulURL(), "  \n\n\t \n"));
        QCOMPARE(persona.systemPrompt(), memory + rest);
    }

    void recentMemoriesOfTodayAndYesterday() {
        writeFiles(jsonTable(table, "recentFiles").toObject());
        PersonaManager persona(m_store);
        persona.setClock([] { return march(14, 10, 0); });
        const QString block =
            "### 2026-03-14.md\n\n# 2026-03-14 Memory Log\n\n- [9:41 AM] 猫\n\n"
            "### 2026-03-14-work.md\n\nproject X\n\n### 2026-03-13.md\n\nyesterday";
        const QStringList sections = persona.systemPrompt().split(separator);
        QCOMPARE(sections.size(), 4);
        QCOMPARE(sections[1], "## 近期记忆\n\n" + block);
        // Without a memory directory there is no such section.
        QVERIFY(QDir(persona.memoryDirectory()).removeRecursively());
        QCOMPARE(persona.systemPrompt().split(separator).size(), 3);
    }

    // The day before the old one, the old day and the new one.
    void midnightRollover_data() { addJsonRows(table, "midnight"); }
    void midnightRollover() {
        QFETCH(QJsonObject, row);
        const QDateTime before = QDateTime::fromString(row.value("before").toString(), Qt::ISODate);
        const QStringList days = jsonTexts(row.value("days"));
        const QString &dayBeforeOld = days[0], &oldDay = days[1], &newDay = days[2];
        QVERIFY(writeBytes(inStore("memory/") + dayBeforeOld + ".md", "two days back"));
        PersonaManager persona(m_store);
        QDateTime now = before;
        persona.setClock([&now] { return now; });
        persona.appendToDailyLog("late");
        expectStorePieces(persona.memoryInstructions(), m_store, oldDay);
        QVERIFY(persona.recentMemories(2).contains("### " + dayBeforeOld + ".md"));

        now = before.addSecs(2);
        persona.appendToDailyLog("early");
        expectStorePieces(persona.memoryInstructions(), m_store, newDay);
        const QString logs = persona.memoryDirectory() + "/";
        QVERIFY(readBytes(logs + oldDay + ".md").endsWith("] late\n"));
        QVERIFY(readBytes(logs + newDay + ".md").endsWith("] early\n"));
        const QString recent = persona.recentMemories(2);
        QVERIFY(recent.startsWith("### " + newDay + ".md\n\n# " + newDay + " Memory Log"));
        QVERIFY(recent.contains("\n\n### " + oldDay + ".md\n\n# " + oldDay + " Memory Log"));
        QVERIFY(!recent.contains(dayBeforeOld));
    }
};

QTEST_GUILESS_MAIN(PersonaStoreTest)
#include "tst_persona_store.moc"
