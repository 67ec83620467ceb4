#pragma once

#include "support/fake_response.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

// One provider's answers as transcribed in tests/data/providers/<name>.json
// (see the README there), and the checks that provider makes of a request.
class ProviderReplay {
public:
    // "gemini", "deepseek", "openai", "xai", "doubao" or "ollama".
    explicit ProviderReplay(const QString& name);

    QString provider() const; // the preset's name, e.g. "Gemini"
    QJsonObject section(const QString& name) const;

    // A recorded answer (`models`, `toolCall`, `answer`, `tags`) or error.
    FakeResponse response(const QString& sectionName) const;
    FakeResponse error(const QString& name) const;
    // A recorded stream, one chunk per line, and what it carries.
    FakeResponse stream(const QString& sectionName) const;
    QString streamText(const QString& sectionName) const;
    QString streamError(const QString& sectionName) const;

    // The ids of `models` (or the names of `tags`).
    QStringList modelIds() const;

    // The error this provider answers a chat request with, if any of its rules
    // fails. Turns that called tools are matched with the recorded toolCall.
    std::optional<QString> refusal(const QJsonObject& request) const;

private:
    QJsonObject m_corpus;
};
