// The first-run questionnaire: the soul it writes, the order of questions when
// answers come quickly, blank answers, and the pasted soul.

#include "persona/agent_name.h"
#include "persona/persona_manager.h"
#include "persona/soul_questionnaire.h"
#include "support/full_disk.h"

#include "persona_test_files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Field = SoulQuestionnaire::Field;
using Entry = SoulQuestionnaire::LogEntry;

const QString genderQuestion =
    QStringLiteral("What gender should your agent present as? (e.g. female, male, neutral...)");
const QString ageQuestion =
    QStringLiteral("What age or era vibe? (e.g. 20s, timeless, ancient...)");
const QString specialtyQuestion =
    QStringLiteral("What should your agent be good at? (e.g. coding, writing, research...)");
const QString openingLine =
    QStringLiteral("Let's create your AI agent. Give your AI agent a name.");

Entry system(const QString& text) {
    return {QStringLiteral("system"), text};
}
Entry user(const QString& text) {
    return {QStringLiteral("user"), text};
}

void answer(SoulQuestionnaire& questionnaire, const QString& text) {
    questionnaire.setInputText(text);
    questionnaire.submit();
}

} // namespace

class SoulQuestionnaireTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    int m_personaCount = 0;

    // A store of its own for each test, in the temporary directory.
    std::unique_ptr<PersonaManager> newPersona() {
        return std::make_unique<PersonaManager>(m_root.filePath(QString::number(++m_personaCount)));
    }

    // Answers in turn, waiting for each next question, then for the preview.
    static void answerAll(SoulQuestionnaire& questionnaire, const QStringList& answers) {
        for (qsizetype i = 0; i < answers.size(); ++i) {
            const qsizetype before = questionnaire.chatLog().size();
            answer(questionnaire, answers.at(i));
            if (i + 1 < answers.size()) {
                QTRY_COMPARE(questionnaire.chatLog().size(), before + 2);
            }
        }
        QTRY_VERIFY(questionnaire.showPreview());
    }

private Q_SLOTS:
    void novaSoulIsWrittenAndNamesTheAgent() {
        auto persona = newPersona();
        SoulQuestionnaire questionnaire;
        questionnaire.setPersona(persona.get());
        questionnaire.setAnswerDelay(1);
        questionnaire.begin();
        QSignalSpy stored(&questionnaire, &SoulQuestionnaire::soulStored);

        answerAll(questionnaire, {QStringLiteral("Nova"), QStringLiteral("female"),
                                  QStringLiteral("20s"), QStringLiteral("research")});
        QCOMPARE(questionnaire.chatLog(),
                 (QList<Entry>{system(openingLine), user("Nova"), system(genderQuestion),
                               user("female"), system(ageQuestion), user("20s"),
                               system(specialtyQuestion), user("research")}));
        QCOMPARE(stored.count(), 0);
        questionnaire.enterWithAnswers();

        const QByteArray expected =
            "# Nova\n\n- Name: Nova\n- Gender: female\n- Age: 20s\n- Specialties: research\n\n"
            "You are Nova, an AI agent running on the user's computer.\n"
            "You are helpful, thoughtful, and speak naturally.\n"
            "When the user tells you something about yourself, accept it and remember it.\n"
            "When the user shares important personal information, save it to memory.";
        QCOMPARE(readBytes(persona->soulURL()), expected);
        QCOMPARE(persona->soul(), QString::fromUtf8(expected));
        QCOMPARE(persona->agentName(), QStringLiteral("Nova"));
        QCOMPARE(stored.count(), 1);

        // A second press neither writes again nor finishes twice.
        persona->setSoul(QStringLiteral("edited"));
        questionnaire.enterWithAnswers();
        QCOMPARE(stored.count(), 1);
        QCOMPARE(persona->soul(), QStringLiteral("edited"));
    }

    void missingAnswersUseTheDefaults() {
        SoulQuestionnaire questionnaire;
        QVERIFY(questionnaire.soulText().startsWith(
            QStringLiteral("# Agent\n\n- Name: Agent\n- Gender: \n- Age: \n- Specialties: \n\n"
                           "You are Agent, an AI agent")));
        QCOMPARE(agentNameFromSoul(questionnaire.soulText()), QStringLiteral("Agent"));
    }

    void answersAreInsertedAsTyped() {
        SoulQuestionnaire questionnaire;
        questionnaire.setAnswerDelay(0);
        answer(questionnaire, QStringLiteral("  **Ré** #1 \n"));
        QCOMPARE(questionnaire.answers().value(Field::name), QStringLiteral("**Ré** #1"));
        QVERIFY(questionnaire.soulText().startsWith(
            QStringLiteral("# **Ré** #1\n\n- Name: **Ré** #1\n")));
    }

    void blankAnswersChangeNothing_data() {
        QTest::addColumn<QString>("input");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces") << QStringLiteral("   ");
        QTest::newRow("line breaks and tabs") << QStringLiteral("\n\t \r\n");
    }

    void blankAnswersChangeNothing() {
        QFETCH(QString, input);
        SoulQuestionnaire questionnaire;
        questionnaire.begin();
        questionnaire.setInputText(input);
        QVERIFY(!questionnaire.canSubmit());
        QSignalSpy logChanges(&questionnaire, &SoulQuestionnaire::chatLogChanged);
        questionnaire.submit();
        QCOMPARE(logChanges.count(), 0);
        QCOMPARE(questionnaire.chatLog(), QList<Entry>{system(openingLine)});
        QVERIFY(questionnaire.answers().isEmpty());
        QCOMPARE(questionnaire.currentField(), Field::name);
        QCOMPARE(questionnaire.inputText(), input);
    }

    void beginOpensTheConversationOnce() {
        SoulQuestionnaire questionnaire;
        QVERIFY(questionnaire.chatLog().isEmpty());
        questionnaire.begin();
        questionnaire.begin();
        QCOMPARE(questionnaire.chatLog(), QList<Entry>{system(openingLine)});
    }

    void quickSecondAnswerGoesToTheNextField() {
        SoulQuestionnaire questionnaire;
        questionnaire.setAnswerDelay(50);
        questionnaire.begin();
        answer(questionnaire, QStringLiteral("Nova"));
        QCOMPARE(questionnaire.currentField(), Field::gender);
        QCOMPARE(questionnaire.inputText(), QString());
        answer(questionnaire, QStringLiteral("female")); // before the gender question appeared
        QCOMPARE(questionnaire.currentField(), Field::age);
        QCOMPARE(questionnaire.chatLog(),
                 (QList<Entry>{system(openingLine), user("Nova"), user("female")}));

        // Each pending pause adds the question it was started for, in order.
        QTRY_COMPARE(questionnaire.chatLog().size(), 5);
        QCOMPARE(questionnaire.chatLog().mid(3),
                 (QList<Entry>{system(genderQuestion), system(ageQuestion)}));
        QCOMPARE(questionnaire.answers(),
                 (QMap<Field, QString>{{Field::name, "Nova"}, {Field::gender, "female"}}));
        QVERIFY(!questionnaire.showPreview());
    }

    void previewFollowsTheLastAnswerAfterThePause() {
        SoulQuestionnaire questionnaire;
        questionnaire.setAnswerDelay(1);
        questionnaire.begin();
        answerAll(questionnaire, {"a", "b", "c", "d"});
        QCOMPARE(questionnaire.currentField(), Field::specialty);
        const QVariantMap answers = questionnaire.property("answers").toMap();
        QCOMPARE(answers,
                 (QVariantMap{{"name", "a"}, {"gender", "b"}, {"age", "c"}, {"specialty", "d"}}));

        // The input row is gone: further submissions are not taken.
        answer(questionnaire, QStringLiteral("late"));
        QCOMPARE(questionnaire.answers().value(Field::specialty), QStringLiteral("d"));
        QCOMPARE(questionnaire.chatLog().size(), 8);
    }

    void pastedSoulIsStoredTrimmed() {
        auto persona = newPersona();
        SoulQuestionnaire questionnaire;
        questionnaire.setPersona(persona.get());
        questionnaire.begin();
        answer(questionnaire, QStringLiteral("Nova"));
        questionnaire.setPasteMode(true);
        questionnaire.setPastedSoul(QStringLiteral("\n\n  # Lumen\nCurious.\n \n"));
        QVERIFY(questionnaire.hasPastedSoul());

        // BACK and forth keeps both the conversation and the paste.
        questionnaire.setPasteMode(false);
        QCOMPARE(questionnaire.chatLog().value(1), user("Nova"));
        QCOMPARE(questionnaire.answers().value(Field::name), QStringLiteral("Nova"));
        questionnaire.setPasteMode(true);
        QCOMPARE(questionnaire.pastedSoul(), QStringLiteral("\n\n  # Lumen\nCurious.\n \n"));

        QSignalSpy stored(&questionnaire, &SoulQuestionnaire::soulStored);
        questionnaire.enterWithPastedSoul();
        QCOMPARE(stored.count(), 1);
        QCOMPARE(readBytes(persona->soulURL()), QByteArray("# Lumen\nCurious."));
        QCOMPARE(persona->agentName(), QStringLiteral("Lumen"));
    }

    void emptyPasteStoresAnEmptySoul() {
        auto persona = newPersona();
        SoulQuestionnaire questionnaire;
        questionnaire.setPersona(persona.get());
        questionnaire.setPastedSoul(QStringLiteral(" \n\t"));
        QVERIFY(!questionnaire.hasPastedSoul());
        QSignalSpy stored(&questionnaire, &SoulQuestionnaire::soulStored);
        questionnaire.enterWithPastedSoul();
        QCOMPARE(stored.count(), 1);
        QCOMPARE(persona->soul(), QString());
        QCOMPARE(readBytes(persona->soulURL()), QByteArray(""));
        QCOMPARE(persona->agentName(), QStringLiteral("Emberglass"));
    }

    void aSoulThatCannotBeWrittenSaysWhyAndCanBeEnteredAgain() {
        auto persona = newPersona();
        const QByteArray before = readBytes(persona->soulURL());
        SoulQuestionnaire questionnaire;
        questionnaire.setPersona(persona.get());
        questionnaire.setPastedSoul(QStringLiteral("# Kai"));
        QSignalSpy stored(&questionnaire, &SoulQuestionnaire::soulStored);
        {
            FullDisk disk(DiskFault::sizeLimit, persona->storageDirectory());
            disk.engage();
            questionnaire.enterWithPastedSoul();
        }
        QCOMPARE(stored.count(), 0);
        QCOMPARE(questionnaire.saveError(), QStringLiteral("File too large"));
        QCOMPARE(readBytes(persona->soulURL()), before);
        QCOMPARE(questionnaire.pastedSoul(), QStringLiteral("# Kai"));

        questionnaire.enterWithPastedSoul();
        QCOMPARE(stored.count(), 1);
        QVERIFY(questionnaire.saveError().isEmpty());
        QCOMPARE(readBytes(persona->soulURL()), QByteArray("# Kai"));
    }
};

QTEST_GUILESS_MAIN(SoulQuestionnaireTest)
#include "tst_soul_questionnaire.moc"
