#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class PersonaManager;

// The first-run conversation that creates the agent's soul: four questions
// answered one by one (each next question follows a short pause), or a soul
// pasted whole. Nothing is written until one of the two enter actions runs.
class SoulQuestionnaire : public QObject {
    Q_OBJECT
    Q_PROPERTY(PersonaManager* persona READ persona WRITE setPersona NOTIFY personaChanged)
    Q_PROPERTY(Field currentField READ currentField NOTIFY currentFieldChanged)
    Q_PROPERTY(QVariantMap answers READ answersByName NOTIFY answersChanged)
    Q_PROPERTY(QString inputText READ inputText WRITE setInputText NOTIFY inputTextChanged)
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY inputTextChanged)
    Q_PROPERTY(QVariantList chatLog READ chatLogEntries NOTIFY chatLogChanged)
    Q_PROPERTY(bool showPreview READ showPreview NOTIFY showPreviewChanged)
    Q_PROPERTY(bool pasteMode READ pasteMode WRITE setPasteMode NOTIFY pasteModeChanged)
    Q_PROPERTY(QString pastedSoul READ pastedSoul WRITE setPastedSoul NOTIFY pastedSoulChanged)
    Q_PROPERTY(bool hasPastedSoul READ hasPastedSoul NOTIFY pastedSoulChanged)
    Q_PROPERTY(int answerDelay READ answerDelay WRITE setAnswerDelay NOTIFY answerDelayChanged)
    Q_PROPERTY(QString saveError READ saveError NOTIFY saveErrorChanged)

public:
    // The questions are walked in this order.
    enum class Field { name = 0, gender = 1, age = 2, specialty = 3 };
    Q_ENUM(Field)

    // Who wrote a line of the conversation; QML compares
    // `SoulQuestionnaire.Speaker.user`.
    enum class Speaker { agent, user };
    Q_ENUM(Speaker)

    struct LogEntry {
        Speaker role;
        QString text;
        bool operator==(const LogEntry&) const = default;
    };

    explicit SoulQuestionnaire(QObject* parent = nullptr);

    PersonaManager* persona() const { return m_persona; }
    void setPersona(PersonaManager* persona);

    Field currentField() const { return m_currentField; }
    QMap<Field, QString> answers() const { return m_answers; }
    QString inputText() const { return m_inputText; }
    void setInputText(const QString& text);
    bool canSubmit() const;
    QList<LogEntry> chatLog() const { return m_chatLog; }
    bool showPreview() const { return m_showPreview; }
    bool pasteMode() const { return m_pasteMode; }
    void setPasteMode(bool pasteMode);
    QString pastedSoul() const { return m_pastedSoul; }
    void setPastedSoul(const QString& text);
    bool hasPastedSoul() const;
    // Milliseconds between an answer and the next question (or the preview).
    int answerDelay() const { return m_answerDelay; }
    void setAnswerDelay(int milliseconds);

    // Opens the conversation with the first question; later calls do nothing.
    Q_INVOKABLE void begin();
    // Takes the trimmed input as the answer to the current question.
    Q_INVOKABLE void submit();
    // The soul the answers given so far make.
    Q_INVOKABLE QString soulText() const;
    // Store the soul (persona.soul and soul.md) and report soulStored once.
    // When soul.md cannot be written, saveError says why and nothing is
    // reported: the answers stay, and entering again tries again.
    Q_INVOKABLE void enterWithAnswers();
    Q_INVOKABLE void enterWithPastedSoul();
    QString saveError() const { return m_saveError; }

Q_SIGNALS:
    void personaChanged();
    void currentFieldChanged();
    void answersChanged();
    void inputTextChanged();
    void chatLogChanged();
    void showPreviewChanged();
    void pasteModeChanged();
    void pastedSoulChanged();
    void answerDelayChanged();
    void saveErrorChanged();
    void soulStored();

private:
    QVariantMap answersByName() const;
    QVariantList chatLogEntries() const;
    void appendToLog(Speaker role, const QString& text);
    void setCurrentField(Field field);
    void setShowPreview(bool show);
    void storeSoul(const QString& text);
    void setSaveError(const QString& error);

    QPointer<PersonaManager> m_persona;
    QMap<Field, QString> m_answers;
    Field m_currentField = Field::name;
    QString m_inputText;
    QList<LogEntry> m_chatLog;
    bool m_showPreview = false;
    bool m_pasteMode = false;
    QString m_pastedSoul;
    int m_answerDelay = 300;
    bool m_begun = false;
    bool m_stored = false;
    QString m_saveError;
};
