#pragma once

#include <QString>

// The fixed texts of the first-run questionnaire and the soul it writes.
namespace OnboardingTexts {

// The agent's first line, asking for the name.
QString openingLine();

// The questions asked after the name, in the order they are asked.
QString genderQuestion();
QString ageQuestion();
QString specialtyQuestion();

// The name written when none was given.
QString unnamedAgent();

// The soul built from the answers, inserted exactly as given.
QString soul(const QString& name, const QString& gender, const QString& age,
             const QString& specialty);

} // namespace OnboardingTexts
