// The fixed texts, the agent's name taken from the soul, and the memory tags
// found in a reply.

#include "persona/agent_name.h"
#include "persona/memory_tags.h"
#include "persona/prompt_texts.h"

#include <QtTest>

class PersonaTextsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fixedTextsHaveTheirExactLengths() {
        QCOMPARE(PromptTexts::toolGuide().toUtf8().size(), 1166);
        QCOMPARE(PromptTexts::defaultMemory().toUtf8().size(), 72);
        // The 302-byte original without the three bytes of "Mac".
        QCOMPARE(PromptTexts::defaultSoul().toUtf8().size(), 302 - 3);
        QVERIFY(PromptTexts::defaultSoul().startsWith(
            QString::fromUtf8("你是一个运行在用户电脑上的本地AI助手。\n")));
        QVERIFY(!PromptTexts::toolGuide().endsWith(QLatin1Char('\n')));
        QVERIFY(!PromptTexts::defaultSoul().endsWith(QLatin1Char('\n')));
    }

    void agentName_data() {
        QTest::addColumn<QString>("soul");
        QTest::addColumn<QString>("name");
        QTest::newRow("level-one heading") << "# Aria\nYou are kind."
                                           << "Aria";
        QTest::newRow("heading padded") << "  #   Aria \t\nrest"
                                        << "Aria";
        QTest::newRow("name field") << "You are kind.\nName: Kai"
                                    << "Kai";
        QTest::newRow("list name field") << "- name: Kai\n# Later"
                                         << "Kai";
        QTest::newRow("field keeps case") << "NAME:  kAi  "
                                          << "kAi";
        QTest::newRow("level-two heading is no name") << "## Profile\nname: Lumen"
                                                      << "Lumen";
        QTest::newRow("bare number sign skipped") << "# \n#\n# Nova"
                                                  << "Nova";
        QTest::newRow("empty field skipped") << "name:   \n# Nova"
                                             << "Nova";
        QTest::newRow("carriage returns split lines") << "intro\r# Vega\rmore"
                                                      << "Vega";
        QTest::newRow("line separator splits lines")
            << QString::fromUtf8("intro\u2028# Vega") << "Vega";
        QTest::newRow("heading without space") << "#Aria\nnames: x"
                                               << "Emberglass";
        QTest::newRow("name inside a sentence") << "My name: Kai"
                                                << "Emberglass";
        QTest::newRow("empty soul") << ""
                                    << "Emberglass";
        QTest::newRow("default soul") << PromptTexts::defaultSoul() << "Emberglass";
        QTest::newRow("full-width space trimmed")
            << QString::fromUtf8("# \u3000小明\u3000") << QString::fromUtf8("小明");
    }
    void agentName() {
        QFETCH(QString, soul);
        QFETCH(QString, name);
        QCOMPARE(agentNameFromSoul(soul), name);
    }

    void memoryTags_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("ascii colon") << QString::fromUtf8("好的。[memory: 用户喜欢猫]")
                                     << QStringList{QString::fromUtf8("用户喜欢猫")};
        QTest::newRow("two tags in order")
            << QString::fromUtf8("[memory: 用户喜欢猫] 然后 [memory：用户叫小明]。")
            << QStringList{QString::fromUtf8("用户喜欢猫"), QString::fromUtf8("用户叫小明")};
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

QTEST_GUILESS_MAIN(PersonaTextsTest)
#include "tst_persona_texts.moc"
