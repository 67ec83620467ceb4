// The system prompt built from the store's state: its sections, the recent
// memories of today and yesterday, and how both follow the clock past midnight.

#include "persona/persona_manager.h"

#include "persona_test_files.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QString expectedMemoryInstructions(const QString& store, const QString& today) {
    const QString soul = store + QStringLiteral("/soul.md");
    const QString memory = store + QStringLiteral("/MEMORY.md");
    const QString directory = store + QStringLiteral("/memory");
    return utf8("## 记忆系统\n\n你的记忆存储在以下位置：\n\n- **人格设定**: ") + soul +
           utf8("\n- **长期记忆**: ") + memory +
           utf8(" — 重要的、需要长期保留的核心信息\n- **记忆目录**: ") + directory +
           utf8("/ — 按日期和话题组织的记忆文件\n\n### 记忆规则\n\n**不要记住每一句话。** "
                "只在以下情况保存记忆：\n\n1. **用户个人信息** — 名字、职业、家庭、偏好等 → "
                "写入长期记忆 MEMORY.md\n2. **重要事件或决定** — 用户的重大决定、关键日期 → "
                "写入话题文件（如 `") +
           today +
           utf8("-personal.md`）\n3. **专业/工作信息** — 项目、技术栈、工作偏好 → "
                "写入话题文件（如 `") +
           today +
           utf8("-work.md`）\n4. **用户修改你的身份** — 改名字、改性格 → 直接更新 soul.md\n\n"
                "### 如何保存记忆\n\n- **长期记忆**: 使用 write_file 追加到 ") +
           memory + utf8("\n- **话题记忆**: 使用 write_file 创建 ") + directory + utf8("/") +
           today +
           utf8("-[话题].md\n- **日常记录**: 在回复中用 `[memory: 要记住的内容]` "
                "格式，系统会自动记录到今天的日志\n- **修改身份**: 使用 write_file 更新 ") +
           soul +
           utf8("\n\n### 不要记录的内容\n\n- 普通寒暄和闲聊\n- AI自己的回复内容\n- "
                "用户已经说过的重复信息\n- 不确定是否重要的临时信息");
}

const char* const expectedToolGuide =
    "## 工具使用指南\n\n你可以使用工具来操作用户电脑上的文件和执行命令。"
    "当用户要求你查看、创建、修改文件或运行命令时，请直接调用对应的工具。\n\n### 文件操作\n"
    "- read_file / write_file / list_directory / search_files / run_command — "
    "基本文件与命令操作\n\n"
    "### 文档读取\n- read_pdf — 提取PDF文字内容\n- read_image — "
    "OCR识别图片中的文字（支持中英日韩）\n"
    "- read_docx — 读取Word文档内容\n- read_xlsx — 读取Excel表格数据\n\n### 文档生成\n"
    "- create_pdf_slides — "
    "生成PDF演示文稿（slides参数为JSON数组，每个slide含title/subtitle/bullets）\n"
    "- create_pptx — 生成PowerPoint文件（可用Keynote/PowerPoint打开，slides参数格式同上）\n"
    "- create_xlsx — 生成Excel表格（data参数为二维JSON数组，第一行为表头）\n\n注意事项：\n"
    "- 始终使用绝对路径\n- 执行破坏性操作（删除文件、覆盖重要文件）前先与用户确认\n"
    "- 如果工具返回错误，向用户解释并建议替代方案\n- 你可以连续调用多个工具来完成复杂任务\n"
    "- 生成文档时，默认保存到用户桌面（~/Desktop/）";

const char* const expectedSoul =
    "你是一个运行在用户电脑上的本地AI助手。\n你重视用户的隐私，回答简洁但详尽，语气温暖自然。\n"
    "当用户告诉你关于你自己的信息（例如你的名字），请立即接受并记住。\n"
    "当用户分享了重要的个人信息，请主动保存到记忆中。";

const char* const separator = "\n\n---\n\n";

} // namespace

class SystemPromptTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_store;

    void writeMemoryFile(const QString& name, const QByteArray& bytes) {
        QVERIFY(writeBytes(m_store + QStringLiteral("/memory/") + name, bytes));
    }

private Q_SLOTS:
    void init() {
        m_store = m_root.path() + QLatin1Char('/') +
                  QString::fromLatin1(QTest::currentTestFunction()) +
                  QString::fromLatin1(QTest::currentDataTag());
    }

    void freshInstallPromptByteForByte() {
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(2026, 3, 14, 10, 0); });
        const QString instructions =
            expectedMemoryInstructions(m_store, QStringLiteral("2026-03-14"));
        const QString expected =
            utf8("## 你的人格设定\n\n以下内容定义了你是谁，请严格按照这些设定来行动和回答：\n\n") +
            utf8(expectedSoul) + utf8(separator) + instructions + utf8(separator) +
            utf8(expectedToolGuide);
        QCOMPARE(persona.memoryInstructions(), instructions);
        QCOMPARE(persona.systemPrompt().toUtf8(), expected.toUtf8());
    }

    void longTermMemorySection_data() {
        QTest::addColumn<QString>("memory");
        QTest::addColumn<QString>("section"); // empty: left out
        const QString placeholder = QStringLiteral(
            "# Long-Term Memory\n\n(Important facts about the user will be saved here.)");
        QTest::newRow("placeholder with trailing line feed") << placeholder + "\n" << QString();
        QTest::newRow("placeholder in blank lines") << "\n\n" + placeholder + "  \n\n" << QString();
        QTest::newRow("blank") << " \n\t\n" << QString();
        QTest::newRow("placeholder plus a fact")
            << placeholder + "\n- likes tea\n"
            << "## 长期记忆 (MEMORY.md)\n\n" + placeholder + "\n- likes tea";
        QTest::newRow("facts trimmed") << "\n  User: Sam\n\n"
                                       << "## 长期记忆 (MEMORY.md)\n\nUser: Sam";
    }
    void longTermMemorySection() {
        QFETCH(QString, memory);
        QFETCH(QString, section);
        PersonaManager persona(m_store);
        persona.setSoul(QStringLiteral("# Aria\n"));
        persona.setMemory(memory);
        const QStringList sections = persona.systemPrompt().split(utf8(separator));
        QCOMPARE(
            sections.first(),
            utf8("## 你的人格设定\n\n以下内容定义了你是谁，请严格按照这些设定来行动和回答：\n\n# "
                 "Aria"));
        QCOMPARE(sections.size(), section.isEmpty() ? 3 : 4);
        if (!section.isEmpty()) {
            QCOMPARE(sections[1], section);
        }
    }

    void blankSoulDropsThePersonaSection() {
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(2026, 3, 14, 10, 0); });
        persona.setSoul(QStringLiteral("  \n\n\t \n"));
        QCOMPARE(persona.systemPrompt(),
                 expectedMemoryInstructions(m_store, QStringLiteral("2026-03-14")) +
                     utf8(separator) + utf8(expectedToolGuide));
        persona.setMemory(QStringLiteral("User: Sam"));
        QVERIFY(persona.systemPrompt().startsWith(utf8("## 长期记忆 (MEMORY.md)\n\nUser: Sam") +
                                                  utf8(separator)));
    }

    void recentMemoriesOfTodayAndYesterday() {
        writeMemoryFile(QStringLiteral("2026-03-14.md"),
                        "\n# 2026-03-14 Memory Log\n\n- [9:41 AM] 猫\n");
        writeMemoryFile(QStringLiteral("2026-03-14-work.md"), "project X");
        writeMemoryFile(QStringLiteral("2026-03-14-personal.md"), " \n\t\n");
        writeMemoryFile(QStringLiteral("2026-03-13.md"), "yesterday");
        writeMemoryFile(QStringLiteral("2026-03-12.md"), "too old");
        writeMemoryFile(QStringLiteral("2026-03-14.txt"), "not markdown");
        writeMemoryFile(QStringLiteral("2026-03-14-upper.MD"), "not markdown either");
        writeMemoryFile(QStringLiteral("notes-2026-03-14.md"), "undated topic");
        writeMemoryFile(QStringLiteral("2026-03-13-broken.md"), "\xff\xfe");
        PersonaManager persona(m_store);
        persona.setClock([] { return localTime(2026, 3, 14, 10, 0); });

        const QString today =
            utf8("### 2026-03-14.md\n\n# 2026-03-14 Memory Log\n\n- [9:41 AM] 猫");
        const QString todayWork = QStringLiteral("### 2026-03-14-work.md\n\nproject X");
        const QString yesterday = QStringLiteral("### 2026-03-13.md\n\nyesterday");
        const QString block = today + "\n\n" + todayWork + "\n\n" + yesterday;
        QCOMPARE(persona.recentMemories(2), block);
        QCOMPARE(persona.recentMemories(1), today + "\n\n" + todayWork);
        QCOMPARE(persona.recentMemories(0), QString());
        QCOMPARE(persona.recentMemories(-1), QString());

        const QStringList sections = persona.systemPrompt().split(utf8(separator));
        QCOMPARE(sections.size(), 4);
        QCOMPARE(sections[1], utf8("## 近期记忆\n\n") + block);
        QVERIFY(sections[2].startsWith(utf8("## 记忆系统")));
    }

    void recentMemoriesWithoutADirectory() {
        PersonaManager persona(m_store);
        QVERIFY(QDir(persona.memoryDirectory()).removeRecursively());
        QCOMPARE(persona.recentMemories(2), QString());
        QCOMPARE(persona.systemPrompt().split(utf8(separator)).size(), 3);
    }

    void midnightRollover_data() {
        QTest::addColumn<QDateTime>("before");
        QTest::addColumn<QDateTime>("after");
        QTest::addColumn<QString>("oldDay");
        QTest::addColumn<QString>("newDay");
        QTest::addColumn<QString>("dayBeforeOld");
        QTest::newRow("mid-month")
            << localTime(2026, 3, 14, 23, 59, 59) << localTime(2026, 3, 15, 0, 0, 1) << "2026-03-14"
            << "2026-03-15"
            << "2026-03-13";
        QTest::newRow("new year") << localTime(2025, 12, 31, 23, 59, 59)
                                  << localTime(2026, 1, 1, 0, 0, 1) << "2025-12-31"
                                  << "2026-01-01"
                                  << "2025-12-30";
        QTest::newRow("leap day") << localTime(2028, 2, 28, 23, 59, 59)
                                  << localTime(2028, 2, 29, 0, 0, 1) << "2028-02-28"
                                  << "2028-02-29"
                                  << "2028-02-27";
    }
    void midnightRollover() {
        QFETCH(QDateTime, before);
        QFETCH(QDateTime, after);
        QFETCH(QString, oldDay);
        QFETCH(QString, newDay);
        QFETCH(QString, dayBeforeOld);
        writeMemoryFile(dayBeforeOld + ".md", "two days back");
        PersonaManager persona(m_store);
        QDateTime now = before;
        persona.setClock([&now] { return now; });

        persona.appendToDailyLog(QStringLiteral("late"));
        QCOMPARE(persona.memoryInstructions(), expectedMemoryInstructions(m_store, oldDay));
        QVERIFY(persona.recentMemories(2).contains("### " + dayBeforeOld + ".md"));

        now = after;
        persona.appendToDailyLog(QStringLiteral("early"));
        QCOMPARE(persona.memoryInstructions(), expectedMemoryInstructions(m_store, newDay));
        const QString oldLog = readBytes(persona.memoryDirectory() + "/" + oldDay + ".md");
        const QString newLog = readBytes(persona.memoryDirectory() + "/" + newDay + ".md");
        QVERIFY(oldLog.startsWith("# " + oldDay + " Memory Log\n\n- ["));
        QVERIFY(oldLog.endsWith(QStringLiteral("] late\n")));
        QVERIFY(newLog.startsWith("# " + newDay + " Memory Log\n\n- ["));
        QVERIFY(newLog.endsWith(QStringLiteral("] early\n")));
        const QString recent = persona.recentMemories(2);
        QVERIFY(recent.startsWith("### " + newDay + ".md\n\n# " + newDay + " Memory Log"));
        QVERIFY(recent.contains("\n\n### " + oldDay + ".md\n\n# " + oldDay + " Memory Log"));
        QVERIFY(!recent.contains(dayBeforeOld));
        QCOMPARE(persona.memoryFiles().size(), 3);
    }
};

QTEST_GUILESS_MAIN(SystemPromptTest)
#include "tst_system_prompt.moc"
