// The system prompt built from the store's state: its sections, the recent
// memories of today and yesterday, and how both follow the clock past midnight;
// the agent's name taken from the soul, and the memory tags found in a reply.

#include "persona/agent_name.h"
#include "persona/memory_tags.h"
#include "persona/persona_manager.h"
#include "persona/prompt_texts.h"

#include "support/test_files.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// What of the memory instructions is not fixed text: the store's paths and
// today's topic files. Returns the pieces missing from `instructions`.
QStringList missingStorePieces(const QString& instructions, const QString& store,
                               const QString& today) {
    QStringList missing;
    for (const QString& piece :
         {"**人格设定**: " + store + "/soul.md\n", "**长期记忆**: " + store + "/MEMORY.md ",
          "**记忆目录**: " + store + "/memory/ ", "`" + today + "-personal.md`",
          "`" + today + "-work.md`", "write_file 追加到 " + store + "/MEMORY.md\n",
          "write_file 创建 " + store + "/memory/" + today + "-[话题].md",
          "write_file 更新 " + store + "/soul.md\n"}) {
        if (!instructions.contains(piece)) {
            missing << piece;
        }
    }
    return missing;
}

const QString personaHeading = PromptTexts::personaSectionHeading();
const QString separator = PromptTexts::sectionSeparator();

QDateTime localTime(int year, int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

} // namespace

class SystemPromptTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_store;

    void writeMemoryFile(const QString& name, const QByteArray& bytes) {
        QVERIFY(writeBytes(m_store + "/memory/" + name, bytes));
    }

private Q_SLOTS:
    void init() {
        m_store = m_root.path() + '/' + QTest::currentTestFunction() + QTest::currentDataTag();
    }

    void freshInstallPromptInItsOrder() {
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(2026, 3, 14, 10, 0); });
        const QString instructions = persona.memoryInstructions();
        QCOMPARE(missingStorePieces(instructions, m_store, "2026-03-14"), QStringList());
        QCOMPARE(persona.systemPrompt(), personaHeading + PromptTexts::defaultSoul() + separator +
                                             instructions + separator + PromptTexts::toolGuide());
        // A blank soul drops the persona section.
        persona.setSoul("  \n\n\t \n");
        QCOMPARE(persona.systemPrompt(), instructions + separator + PromptTexts::toolGuide());
    }

    void longTermMemorySection_data() {
        QTest::addColumn<QString>("memory");
        QTest::addColumn<QString>("section"); // empty: left out
        const QString placeholder = PromptTexts::defaultMemory();
        const QString heading = "## 长期记忆 (MEMORY.md)\n\n";
        QTest::newRow("placeholder with trailing line feed") << placeholder + "\n" << QString();
        QTest::newRow("placeholder in blank lines") << "\n\n" + placeholder + "  \n\n" << QString();
        QTest::newRow("blank") << " \n\t\n" << QString();
        QTest::newRow("placeholder plus a fact") << placeholder + "\n- likes tea\n"
                                                 << heading + placeholder + "\n- likes tea";
        QTest::newRow("facts trimmed") << "\n  User: Sam\n\n" << heading + "User: Sam";
    }
    void longTermMemorySection() {
        QFETCH(QString, memory);
        QFETCH(QString, section);
        PersonaManager persona(m_store);
        persona.setSoul("# Aria\n");
        persona.setMemory(memory);
        const QStringList sections = persona.systemPrompt().split(separator);
        QCOMPARE(sections.first(), personaHeading + "# Aria");
        QCOMPARE(sections.size(), section.isEmpty() ? 3 : 4);
        QCOMPARE(section.isEmpty() ? QString() : sections[1], section);
        // Without a soul the section comes first.
        persona.setSoul(QString());
        QCOMPARE(persona.systemPrompt().startsWith(section + separator), !section.isEmpty());
    }

    void recentMemoriesOfTodayAndYesterday() {
        writeMemoryFile("2026-03-14.md", "\n# 2026-03-14 Memory Log\n\n- [9:41 AM] 猫\n");
        writeMemoryFile("2026-03-14-work.md", "project X");
        writeMemoryFile("2026-03-14-personal.md", " \n\t\n");
        writeMemoryFile("2026-03-13.md", "yesterday");
        writeMemoryFile("2026-03-12.md", "too old");
        writeMemoryFile("2026-03-14.txt", "not markdown");
        writeMemoryFile("2026-03-14-upper.MD", "not markdown either");
        writeMemoryFile("notes-2026-03-14.md", "undated topic");
        writeMemoryFile("2026-03-13-broken.md", "\xff\xfe");
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(2026, 3, 14, 10, 0); });
        const QString today = "### 2026-03-14.md\n\n# 2026-03-14 Memory Log\n\n- [9:41 AM] 猫\n\n"
                              "### 2026-03-14-work.md\n\nproject X";
        const QString block = today + "\n\n### 2026-03-13.md\n\nyesterday";
        QCOMPARE(persona.recentMemories(2), block);
        QCOMPARE(persona.recentMemories(1), today);
        QCOMPARE(persona.recentMemories(0), QString());
        QCOMPARE(persona.recentMemories(-1), QString());
        const QStringList sections = persona.systemPrompt().split(separator);
        QCOMPARE(sections.size(), 4);
        QCOMPARE(sections[1], "## 近期记忆\n\n" + block);
        QVERIFY(sections[2].startsWith("## 记忆系统"));
        // Without a memory directory there is no such section.
        QVERIFY(QDir(persona.memoryDirectory()).removeRecursively());
        QCOMPARE(persona.recentMemories(2), QString());
        QCOMPARE(persona.systemPrompt().split(separator).size(), 3);
    }

    void midnightRollover_data() {
        QTest::addColumn<QDateTime>("before");
        QTest::addColumn<QStringList>("days"); // the day before the old one, old, new
        QTest::newRow("mid-month") << localTime(2026, 3, 14, 23, 59, 59)
                                   << QStringList{"2026-03-13", "2026-03-14", "2026-03-15"};
        QTest::newRow("new year") << localTime(2025, 12, 31, 23, 59, 59)
                                  << QStringList{"2025-12-30", "2025-12-31", "2026-01-01"};
        QTest::newRow("leap day") << localTime(2028, 2, 28, 23, 59, 59)
                                  << QStringList{"2028-02-27", "2028-02-28", "2028-02-29"};
    }
    void midnightRollover() {
        QFETCH(QDateTime, before);
        QFETCH(QStringList, days);
        const QString &dayBeforeOld = days[0], &oldDay = days[1], &newDay = days[2];
        writeMemoryFile(dayBeforeOld + ".md", "two days back");
        PersonaManager persona(m_store);
        QDateTime now = before;
        persona.setClock([&now] { return now; });
        persona.appendToDailyLog("late");
        QCOMPARE(missingStorePieces(persona.memoryInstructions(), m_store, oldDay), QStringList());
        QVERIFY(persona.recentMemories(2).contains("### " + dayBeforeOld + ".md"));

        now = before.addSecs(2);
        persona.appendToDailyLog("early");
        QCOMPARE(missingStorePieces(persona.memoryInstructions(), m_store, newDay), QStringList());
        for (const auto& [day, entry] : {std::pair{oldDay, "late"}, {newDay, "early"}}) {
            const QString log = readBytes(persona.memoryDirectory() + "/" + day + ".md");
            QVERIFY2(log.startsWith("# " + day + " Memory Log\n\n- [") &&
                         log.endsWith(QString("] ") + entry + "\n"),
                     qPrintable(log));
        }
        const QString recent = persona.recentMemories(2);
        QVERIFY(recent.startsWith("### " + newDay + ".md\n\n# " + newDay + " Memory Log"));
        QVERIFY(recent.contains("\n\n### " + oldDay + ".md\n\n# " + oldDay + " Memory Log"));
        QVERIFY(!recent.contains(dayBeforeOld));
        QCOMPARE(persona.memoryFiles().size(), 3);
    }

    void agentName_data() {
        QTest::addColumn<QString>("soul");
        QTest::addColumn<QString>("name");
        const QList<QPair<QString, QString>> rows{
            {"# Aria\nYou are kind.", "Aria"},          // level-one heading
            {"  #   Aria \t\nrest", "Aria"},            // heading padded
            {"You are kind.\nName: Kai", "Kai"},        // name field
            {"- name: Kai\n# Later", "Kai"},            // list name field
            {"NAME:  kAi  ", "kAi"},                    // field keeps case
            {"## Profile\nname: Lumen", "Lumen"},       // level-two heading is no name
            {"# \n#\n# Nova", "Nova"},                  // bare number sign skipped
            {"name:   \n# Nova", "Nova"},               // empty field skipped
            {"intro\r# Vega\rmore", "Vega"},            // carriage returns split lines
            {"intro\u2028# Vega", "Vega"},              // line separator splits lines
            {"#Aria\nnames: x", "Emberglass"},          // heading without space
            {"My name: Kai", "Emberglass"},             // name inside a sentence
            {"", "Emberglass"},                         // empty soul
            {PromptTexts::defaultSoul(), "Emberglass"}, // default soul
            {"# \u3000小明\u3000", "小明"}};            // full-width space trimmed
        for (const auto& [soul, name] : rows) {
            QTest::newRow(qPrintable(soul.left(24).replace('\n', ' ').replace('\r', ' ')))
                << soul << name;
        }
    }
    void agentName() {
        QFETCH(QString, soul);
        QFETCH(QString, name);
        QCOMPARE(agentNameFromSoul(soul), name);
    }

    void memoryTags_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("ascii colon") << "好的。[memory: 用户喜欢猫]" << QStringList{"用户喜欢猫"};
        QTest::newRow("two tags in order, full-width colon")
            << "[memory: 用户喜欢猫] 然后 [memory：用户叫小明]。"
            << QStringList{"用户喜欢猫", "用户叫小明"};
        QTest::newRow("no space after colon") << "[memory:likes tea]" << QStringList{"likes tea"};
        QTest::newRow("inner spaces and tabs trimmed")
            << "[memory:\t a b \t]" << QStringList{"a b"};
        QTest::newRow("upper-case word") << "[Memory: x] [MEMORY: y]" << QStringList{};
        QTest::newRow("only spaces") << "[memory:    ] and more" << QStringList{};
        QTest::newRow("empty") << "[memory:]" << QStringList{};
        QTest::newRow("crosses a line break") << "[memory: first\nsecond]" << QStringList{};
        QTest::newRow("crosses a carriage return") << "[memory: first\rsecond]" << QStringList{};
        QTest::newRow("shortest run") << "[memory: a] b]" << QStringList{"a"};
        QTest::newRow("duplicates kept") << "[memory: a][memory: a]" << QStringList{"a", "a"};
        QTest::newRow("no colon") << "[memory a]" << QStringList{};
        QTest::newRow("unclosed then closed")
            << "[memory: open\n[memory: closed]" << QStringList{"closed"};
    }
    void memoryTags() {
        QFETCH(QString, reply);
        QFETCH(QStringList, tags);
        QCOMPARE(::memoryTags(reply), tags);
    }
};

QTEST_GUILESS_MAIN(SystemPromptTest)
#include "tst_system_prompt.moc"
