#include "persona/onboarding_texts.h"

#include <QCoreApplication>

namespace OnboardingTexts {

QString openingLine() {
    return QCoreApplication::translate("OnboardingQuestions",
                                       "Let's create your AI agent. Give your AI agent a name.");
}

QString genderQuestion() {
    return QCoreApplication::translate(
        "OnboardingQuestions",
        "What gender should your agent present as? (e.g. female, male, neutral...)");
}

QString ageQuestion() {
    return QCoreApplication::translate("OnboardingQuestions",
                                       "What age or era vibe? (e.g. 20s, timeless, ancient...)");
}

QString specialtyQuestion() {
    return QCoreApplication::translate(
        "OnboardingQuestions",
        "What should your agent be good at? (e.g. coding, writing, research...)");
}

QString unnamedAgent() {
    return QStringLiteral("Agent");
}

QString soul(const QString& name, const QString& gender, const QString& age,
             const QString& specialty) {
    return QStringLiteral("# ") + name + QStringLiteral("\n\n- Name: ") + name +
           QStringLiteral("\n- Gender: ") + gender + QStringLiteral("\n- Age: ") + age +
           QStringLiteral("\n- Specialties: ") + specialty + QStringLiteral("\n\nYou are ") + name +
           QStringLiteral(", an AI agent running on the user's computer.\n"
                          "You are helpful, thoughtful, and speak naturally.\n"
                          "When the user tells you something about yourself, accept it and "
                          "remember it.\n"
                          "When the user shares important personal information, save it to "
                          "memory.");
}

} // namespace OnboardingTexts
