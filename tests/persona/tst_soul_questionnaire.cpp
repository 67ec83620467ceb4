// The first-run questionnaire: the soul it writes, the order of questions when
// answers come quickly, blank answers, and the pasted soul.

#include "persona/agent_name.h"
#include "persona/persona_manager.h"
#include "persona/soul_questionnaire.h"
#include "support/full_disk.h"

#include "support/test_files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Field = SoulQuestionnaire::Field;
using Entry = SoulQuestionnaire::LogEntry;

const Entry opening{"system", "Let's create your AI agent. Give your AI agent a name."};
const Entry genderQuestion{
    "system", "What gender should your agent present as? (e.g. female, male, neutral...)"};
const Entry ageQuestion{"system", "What age or era vibe? (e.g. 20s, timeless, ancient...)"};
const Entry specialtyQuestion{
    "system", "What should your agent be good at? (e.g. coding, writing, research...)"};

Entry user(const QString& text) {
    return {"user", text};
}

void answer(SoulQuestionnaire& questionnaire, const QString& text) {
    questionnaire.setInputText(text);
    questionnaire.submit();
}

} // namespace

class SoulQuestionnaireTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    std::unique_ptr<PersonaManager> m_persona; // a store of its own for each test
    std::unique_ptr<SoulQuestionnaire> m_questionnaire;

    // Answers in turn, waiting for each next question, then for the preview.
    void answerAll(const QStringList& answers) {
        for (qsizetype i = 0; i < answers.size(); ++i) {
            const qsizetype before = m_questionnaire->chatLog().size();
            answer(*m_questionnaire, answers.at(i));
            if (i + 1 < answers.size()) {
                QTRY_COMPARE(m_questionnaire->chatLog().size(), before + 2);
            }
        }
        QTRY_VERIFY(m_questionnaire->showPreview());
    }

private Q_SLOTS:
    void init() {
        m_questionnaire.reset();
        m_persona = std::make_unique<PersonaManager>(
            m_root.filePath(QTest::currentTestFunction() + QString(QTest::currentDataTag())));
        m_questionnaire = std::make_unique<SoulQuestionnaire>();
        m_questionnaire->setPersona(m_persona.get());
        m_questionnaire->setAnswerDelay(1);
    }

    void novaSoulIsWrittenAndNamesTheAgent() {
        SoulQuestionnaire& questionnaire = *m_questionnaire;
        // Missing answers take the defaults.
        QVERIFY(
            questionnaire.soulText().startsWith("# Agent\n\n- Name: Agent\n- Gender: \n- Age: \n- "
                                                "Specialties: \n\nYou are Agent, an AI agent"));
        QCOMPARE(agentNameFromSoul(questionnaire.soulText()), "Agent");
        questionnaire.begin();
        questionnaire.begin(); // opens the conversation once
        QSignalSpy stored(&questionnaire, &SoulQuestionnaire::soulStored);
        answerAll({"Nova", "female", "20s", "research"});
        QCOMPARE(questionnaire.chatLog(),
                 (QList<Entry>{opening, user("Nova"), genderQuestion, user("female"), ageQuestion,
                               user("20s"), specialtyQuestion, user("research")}));
        QCOMPARE(questionnaire.currentField(), Field::specialty);
        QCOMPARE(questionnaire.property("answers").toMap(),
                 (QVariantMap{{"name", "Nova"},
                              {"gender", "female"},
                              {"age", "20s"},
                              {"specialty", "research"}}));
        // The input row is gone: further submissions are not taken.
        answer(questionnaire, "late");
        QCOMPARE(questionnaire.answers().value(Field::specialty), "research");
        QCOMPARE(questionnaire.chatLog().size(), 8);
        QCOMPARE(stored.count(), 0);

        questionnaire.enterWithAnswers();
        const QByteArray expected =
            "# Nova\n\n- Name: Nova\n- Gender: female\n- Age: 20s\n- Specialties: research\n\n"
            "You are Nova, an AI agent running on the user's computer.\n"
            "You are helpful, thoughtful, and speak naturally.\n"
            "When the user tells you something about yourself, accept it and remember it.\n"
            "When the user shares important personal information, save it to memory.";
        QCOMPARE(readBytes(m_persona->soulURL()), expected);
        QCOMPARE(m_persona->soul(), QString(expected));
        QCOMPARE(m_persona->agentName(), "Nova");
        QCOMPARE(stored.count(), 1);
        // A second press neither writes again nor finishes twice.
        m_persona->setSoul("edited");
        questionnaire.enterWithAnswers();
        QCOMPARE(stored.count(), 1);
        QCOMPARE(m_persona->soul(), "edited");
    }

    void answersAreInsertedAsTyped() {
        answer(*m_questionnaire, "  **Ré** #1 \n");
        QCOMPARE(m_questionnaire->answers().value(Field::name), "**Ré** #1");
        QVERIFY(m_questionnaire->soulText().startsWith("# **Ré** #1\n\n- Name: **Ré** #1\n"));
    }

    void blankAnswersChangeNothing_data() {
        QTest::addColumn<QString>("input");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces") << "   ";
        QTest::newRow("line breaks and tabs") << "\n\t \r\n";
    }
    void blankAnswersChangeNothing() {
        QFETCH(QString, input);
        m_questionnaire->begin();
        m_questionnaire->setInputText(input);
        QVERIFY(!m_questionnaire->canSubmit());
        QSignalSpy logChanges(m_questionnaire.get(), &SoulQuestionnaire::chatLogChanged);
        m_questionnaire->submit();
        QCOMPARE(logChanges.count(), 0);
        QCOMPARE(m_questionnaire->chatLog(), QList<Entry>{opening});
        QVERIFY(m_questionnaire->answers().isEmpty());
        QCOMPARE(m_questionnaire->currentField(), Field::name);
        QCOMPARE(m_questionnaire->inputText(), input);
    }

    void quickSecondAnswerGoesToTheNextField() {
        SoulQuestionnaire& questionnaire = *m_questionnaire;
        questionnaire.setAnswerDelay(50);
        questionnaire.begin();
        answer(questionnaire, "Nova");
        QCOMPARE(questionnaire.currentField(), Field::gender);
        QCOMPARE(questionnaire.inputText(), QString());
        answer(questionnaire, "female"); // before the gender question appeared
        QCOMPARE(questionnaire.currentField(), Field::age);
        QCOMPARE(questionnaire.chatLog(), (QList<Entry>{opening, user("Nova"), user("female")}));
        // Each pending pause adds the question it was started for, in order.
        QTRY_COMPARE(questionnaire.chatLog().size(), 5);
        QCOMPARE(questionnaire.chatLog().mid(3), (QList<Entry>{genderQuestion, ageQuestion}));
        QCOMPARE(questionnaire.answers(),
                 (QMap<Field, QString>{{Field::name, "Nova"}, {Field::gender, "female"}}));
        QVERIFY(!questionnaire.showPreview());
    }

    void pastedSoulIsStoredTrimmed() {
        SoulQuestionnaire& questionnaire = *m_questionnaire;
        questionnaire.begin();
        answer(questionnaire, "Nova");
        questionnaire.setPasteMode(true);
        questionnaire.setPastedSoul("\n\n  # Lumen\nCurious.\n \n");
        QVERIFY(questionnaire.hasPastedSoul());
        // BACK and forth keeps both the conversation and the paste.
        questionnaire.setPasteMode(false);
        QCOMPARE(questionnaire.chatLog().value(1), user("Nova"));
        QCOMPARE(questionnaire.answers().value(Field::name), "Nova");
        questionnaire.setPasteMode(true);
        QCOMPARE(questionnaire.pastedSoul(), "\n\n  # Lumen\nCurious.\n \n");
        QSignalSpy stored(&questionnaire, &SoulQuestionnaire::soulStored);
        questionnaire.enterWithPastedSoul();
        QCOMPARE(stored.count(), 1);
        QCOMPARE(readBytes(m_persona->soulURL()), "# Lumen\nCurious.");
        QCOMPARE(m_persona->agentName(), "Lumen");
    }

    void emptyPasteStoresAnEmptySoul() {
        m_questionnaire->setPastedSoul(" \n\t");
        QVERIFY(!m_questionnaire->hasPastedSoul());
        QSignalSpy stored(m_questionnaire.get(), &SoulQuestionnaire::soulStored);
        m_questionnaire->enterWithPastedSoul();
        QCOMPARE(stored.count(), 1);
        QCOMPARE(m_persona->soul(), QString());
        QCOMPARE(readBytes(m_persona->soulURL()), QByteArray(""));
        QCOMPARE(m_persona->agentName(), "Emberglass");
    }

    void aSoulThatCannotBeWrittenSaysWhyAndCanBeEnteredAgain() {
        const QByteArray before = readBytes(m_persona->soulURL());
        m_questionnaire->setPastedSoul("# Kai");
        QSignalSpy stored(m_questionnaire.get(), &SoulQuestionnaire::soulStored);
        {
            FullDisk disk(DiskFault::sizeLimit, m_persona->storageDirectory());
            disk.engage();
            m_questionnaire->enterWithPastedSoul();
        }
        QCOMPARE(stored.count(), 0);
        QCOMPARE(m_questionnaire->saveError(), "File too large");
        QCOMPARE(readBytes(m_persona->soulURL()), before);
        QCOMPARE(m_questionnaire->pastedSoul(), "# Kai");

        m_questionnaire->enterWithPastedSoul();
        QCOMPARE(stored.count(), 1);
        QVERIFY(m_questionnaire->saveError().isEmpty());
        QCOMPARE(readBytes(m_persona->soulURL()), QByteArray("# Kai"));
    }
};

QTEST_GUILESS_MAIN(SoulQuestionnaireTest)
#include "tst_soul_questionnaire.moc"
