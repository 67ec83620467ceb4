#pragma once

#include "support/fake_http_server.h"

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
    // `toolCall` or `answer` as this provider streams it (providers/streamed.json).
    FakeResponse streamed(const QString& sectionName, int chunkDelayMs = 0) const;
    QString streamError(const QString& sectionName) const;

    // The ids of `models` (or the names of `tags`).
    QStringList modelIds() const;

    // The error this provider answers a chat request with, if any of its rules
    // fails. Turns that called tools are matched with the recorded toolCall.
    std::optional<QString> refusal(const QJsonObject& request) const;

private:
    QJsonObject m_corpus;
    QJsonObject m_streamed;
};

// A provider on loopback that answers as it does today (ProviderReplay): the
// list of models, then for each chat request either its refusal (a rule the
// request breaks) or, by the last message, the recorded tool call (after a
// user message) or the recorded answer (after a tool result), streamed when a
// request with tools asks for it.
class ProviderReplayServer : public FakeOpenAIServer {
    Q_OBJECT

public:
    explicit ProviderReplayServer(const QString& name, QObject* parent = nullptr);

    const ProviderReplay& replay() const { return m_replay; }
    // The errors answered so far, by name.
    QStringList refusals() const { return m_refusals; }

protected:
    // The recorded error of that name, noted among the refusals.
    FakeResponse refused(const QString& name);

private:
    FakeResponse chatAnswer(const RecordedRequest& request);

    ProviderReplay m_replay;
    QStringList m_refusals;
};

// Ollama as it answers today: its installed models, a 404 for a model it does
// not have, the recorded (native) tool call, then, once its result comes back
// in Ollama's shape, the recorded answer; streamed when a request with tools
// asks for it.
class OllamaReplayServer : public FakeOllamaServer {
    Q_OBJECT

public:
    explicit OllamaReplayServer(QObject* parent = nullptr);

private:
    FakeResponse chatAnswer(const RecordedRequest& request) const;

    ProviderReplay m_replay;
};
