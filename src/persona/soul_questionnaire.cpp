#include "persona/soul_questionnaire.h"

#include "persona/onboarding_texts.h"
#include "persona/persona_manager.h"

#include <QMetaEnum>
#include <QTimer>

namespace {

using Field = SoulQuestionnaire::Field;

// The question that asks for a field after the one before it was answered.
QString questionFor(Field field) {
    switch (field) {
    case Field::gender:
        return OnboardingTexts::genderQuestion();
    case Field::age:
        return OnboardingTexts::ageQuestion();
    case Field::specialty:
        return OnboardingTexts::specialtyQuestion();
    case Field::name:
        break;
    }
    return OnboardingTexts::openingLine();
}

QString fieldName(Field field) {
    return QString::fromLatin1(QMetaEnum::fromType<Field>().valueToKey(static_cast<int>(field)));
}

} // namespace

SoulQuestionnaire::SoulQuestionnaire(QObject* parent) : QObject(parent) {}

void SoulQuestionnaire::setPersona(PersonaManager* persona) {
    if (m_persona != persona) {
        m_persona = persona;
        Q_EMIT personaChanged();
    }
}

void SoulQuestionnaire::setInputText(const QString& text) {
    if (m_inputText != text) {
        m_inputText = text;
        Q_EMIT inputTextChanged();
    }
}

bool SoulQuestionnaire::canSubmit() const {
    return !m_inputText.trimmed().isEmpty();
}

void SoulQuestionnaire::setPasteMode(bool pasteMode) {
    if (m_pasteMode != pasteMode) {
        m_pasteMode = pasteMode;
        Q_EMIT pasteModeChanged();
    }
}

void SoulQuestionnaire::setPastedSoul(const QString& text) {
    if (m_pastedSoul != text) {
        m_pastedSoul = text;
        Q_EMIT pastedSoulChanged();
    }
}

bool SoulQuestionnaire::hasPastedSoul() const {
    return !m_pastedSoul.trimmed().isEmpty();
}

void SoulQuestionnaire::setAnswerDelay(int milliseconds) {
    if (m_answerDelay != milliseconds) {
        m_answerDelay = milliseconds;
        Q_EMIT answerDelayChanged();
    }
}

void SoulQuestionnaire::setCurrentField(Field field) {
    if (m_currentField != field) {
        m_currentField = field;
        Q_EMIT currentFieldChanged();
    }
}

void SoulQuestionnaire::setShowPreview(bool show) {
    if (m_showPreview != show) {
        m_showPreview = show;
        Q_EMIT showPreviewChanged();
    }
}

void SoulQuestionnaire::appendToLog(Speaker role, const QString& text) {
    m_chatLog.append({role, text});
    Q_EMIT chatLogChanged();
}

void SoulQuestionnaire::begin() {
    if (m_begun) {
        return;
    }
    m_begun = true;
    appendToLog(Speaker::agent, OnboardingTexts::openingLine());
}

void SoulQuestionnaire::submit() {
    const QString answer = m_inputText.trimmed();
    if (answer.isEmpty() || m_showPreview) {
        return;
    }
    appendToLog(Speaker::user, answer);
    m_answers.insert(m_currentField, answer);
    Q_EMIT answersChanged();
    setInputText(QString());

    // Each pause ends with what it was started for, so a quick second answer
    // (already counted for the next field) still gets every question in order.
    if (m_currentField == Field::specialty) {
        QTimer::singleShot(m_answerDelay, this, [this] { setShowPreview(true); });
        return;
    }
    const Field next = static_cast<Field>(static_cast<int>(m_currentField) + 1);
    setCurrentField(next);
    QTimer::singleShot(m_answerDelay, this,
                       [this, next] { appendToLog(Speaker::agent, questionFor(next)); });
}

QString SoulQuestionnaire::soulText() const {
    const QString name = m_answers.value(Field::name, OnboardingTexts::unnamedAgent());
    return OnboardingTexts::soul(name, m_answers.value(Field::gender), m_answers.value(Field::age),
                                 m_answers.value(Field::specialty));
}

void SoulQuestionnaire::enterWithAnswers() {
    storeSoul(soulText());
}

void SoulQuestionnaire::enterWithPastedSoul() {
    storeSoul(m_pastedSoul.trimmed());
}

void SoulQuestionnaire::storeSoul(const QString& text) {
    // One soul per first run: a second press must not write again or finish twice.
    if (m_stored || m_persona == nullptr) {
        return;
    }
    m_persona->setSoul(text);
    // Going on would lose the soul at the next start, and the onboarding with it.
    if (!m_persona->writeTextAtomically(m_persona->soulURL(), text)) {
        setSaveError(m_persona->lastWriteError());
        return;
    }
    m_stored = true;
    setSaveError({});
    Q_EMIT soulStored();
}

void SoulQuestionnaire::setSaveError(const QString& error) {
    if (error != m_saveError) {
        m_saveError = error;
        Q_EMIT saveErrorChanged();
    }
}

QVariantMap SoulQuestionnaire::answersByName() const {
    QVariantMap byName;
    for (auto it = m_answers.cbegin(); it != m_answers.cend(); ++it) {
        byName.insert(fieldName(it.key()), it.value());
    }
    return byName;
}

QVariantList SoulQuestionnaire::chatLogEntries() const {
    QVariantList entries;
    for (const LogEntry& entry : m_chatLog) {
        entries.append(QVariantMap{{QStringLiteral("role"), int(entry.role)},
                                   {QStringLiteral("text"), entry.text}});
    }
    return entries;
}
