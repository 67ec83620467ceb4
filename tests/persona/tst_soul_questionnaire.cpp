// The first-run questionnaire: the soul it writes, the order of questions when
// answers come quickly, blank answers and a blank paste. A soul that cannot be
// written is checked through the onboarding view in tests/qml/tst_panels.qml. The
// conversation and the soul it writes are in tests/data/persona/questionnaire.json.

#include "persona/persona_manager.h"
#include "persona/soul_questionnaire.h"

#include "support/json_rows.h"
#include "support/test_files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Field = SoulQuestionnaire::Field;
using Entry = SoulQuestionnaire::LogEntry;

// The conversation with Nova and the soul it writes.
QJsonObject nova() {
    return jsonTable("persona/questionnaire.json", "nova").toObject();
}

QList<Entry> conversation() {
    QList<Entry> entries;
    for (const QJsonValue& entry : nova()["conversation"].toArray()) {
        // A speaker the table misspells is -1, a log entry nobody makes.
        const int speaker = QMetaEnum::fromType<SoulQuestionnaire::Speaker>().keyToValue(
            entry[0].toString().toLatin1());
        entries.append({SoulQuestionnaire::Speaker(speaker), entry[1].toString()});
    }
    return entries;
}

} // namespace

class SoulQuestionnaireTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    const QList<Entry> m_nova = conversation();
    std::unique_ptr<PersonaManager> m_persona; // a store of its own for each test
    std::unique_ptr<SoulQuestionnaire> m_questionnaire;

    void answer(const QString& text) {
        m_questionnaire->setInputText(text);
        m_questionnaire->submit();
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

    void novaSoulIsWrittenAndStored() {
        SoulQuestionnaire& questionnaire = *m_questionnaire;
        // Missing answers take the defaults.
        QVERIFY(questionnaire.soulText().startsWith(nova()["unanswered"].toString()));
        questionnaire.begin();
        questionnaire.begin(); // opens the conversation once
        QSignalSpy stored(&questionnaire, &SoulQuestionnaire::soulStored);
        // Answers in turn, each after its question.
        for (qsizetype i = 1; i < m_nova.size(); i += 2) {
            QTRY_COMPARE(questionnaire.chatLog(), m_nova.mid(0, i));
            answer(m_nova[i].text);
        }
        QTRY_VERIFY(questionnaire.showPreview());
        QCOMPARE(questionnaire.currentField(), Field::specialty);
        // The input row is gone: further submissions are not taken.
        answer("late");
        QCOMPARE(questionnaire.chatLog(), m_nova);
        const QVariantMap answers{
            {"name", "Nova"}, {"gender", "female"}, {"age", "20s"}, {"specialty", "research"}};
        QCOMPARE(questionnaire.property("answers").toMap(), answers);
        QCOMPARE(stored.count(), 0);

        questionnaire.enterWithAnswers();
        QCOMPARE(readBytes(m_persona->soulURL()), nova()["soul"].toString().toUtf8());
        QCOMPARE(stored.count(), 1);
        // A second press neither writes again nor finishes twice.
        m_persona->setSoul("edited");
        questionnaire.enterWithAnswers();
        QCOMPARE(stored.count(), 1);
        QCOMPARE(m_persona->soul(), "edited");
    }

    // Blank answers change nothing; others are trimmed and inserted as typed.
    void blankAnswersChangeNothing() {
        m_questionnaire->begin();
        QSignalSpy logChanges(m_questionnaire.get(), &SoulQuestionnaire::chatLogChanged);
        const QString blank = "\n\t \r\n";
        m_questionnaire->setInputText(blank);
        QVERIFY(!m_questionnaire->canSubmit());
        m_questionnaire->submit();
        QCOMPARE(m_questionnaire->inputText(), blank);
        QCOMPARE(logChanges.count(), 0);
        QVERIFY(m_questionnaire->answers().isEmpty());
        QCOMPARE(m_questionnaire->currentField(), Field::name);
        answer("  **Ré** #1 \n");
        QCOMPARE(m_questionnaire->answers().value(Field::name), "**Ré** #1");
        QVERIFY(m_questionnaire->soulText().startsWith("# **Ré** #1\n\n- Name: **Ré** #1\n"));
    }

    void quickSecondAnswerGoesToTheNextFieldThenABlankPaste() {
        SoulQuestionnaire& questionnaire = *m_questionnaire;
        questionnaire.setAnswerDelay(50);
        questionnaire.begin();
        answer("Nova");
        QCOMPARE(questionnaire.currentField(), Field::gender);
        QCOMPARE(questionnaire.inputText(), QString());
        answer("female"); // before the gender question appeared
        QCOMPARE(questionnaire.currentField(), Field::age);
        // Each pending pause adds the question it was started for, in order.
        const QList<Entry> conversation{m_nova[0], m_nova[1], m_nova[3], m_nova[2], m_nova[4]};
        QTRY_COMPARE(questionnaire.chatLog(), conversation);
        QCOMPARE(questionnaire.answers(),
                 (QMap<Field, QString>{{Field::name, "Nova"}, {Field::gender, "female"}}));
        QVERIFY(!questionnaire.showPreview());

        // Blank pasted text is no soul (ENTER shown dimmed); going back to the
        // questions keeps them (the paste kept and stored trimmed: tst_panels.qml).
        questionnaire.setPasteMode(true);
        questionnaire.setPastedSoul(" \n\t ");
        QVERIFY(!questionnaire.hasPastedSoul());
        questionnaire.setPasteMode(false);
        QCOMPARE(questionnaire.chatLog(), conversation);
    }
};

QTEST_GUILESS_MAIN(SoulQuestionnaireTest)
#include "tst_soul_questionnaire.moc"
