#pragma once

#include "support/fake_http_server.h"
#include "support/provider_replay.h"

// A provider on loopback that answers as it does today (ProviderReplay): the
// list of models, then for each chat request either its refusal (a rule the
// request breaks) or, by the last message, the recorded tool call (after a
// user message) or the recorded answer (after a tool result).
class ProviderReplayServer : public FakeOpenAIServer {
    Q_OBJECT

public:
    explicit ProviderReplayServer(const QString& name, QObject* parent = nullptr);

    const ProviderReplay& replay() const { return m_replay; }
    // The errors answered so far, by name.
    QStringList refusals() const { return m_refusals; }

private:
    FakeResponse chatAnswer(const RecordedRequest& request);

    ProviderReplay m_replay;
    QStringList m_refusals;
};

// Ollama as it answers today: its installed models, a 404 for a model it does
// not have, the recorded tool call, then (after a "[Tool Result: …" user
// message) the recorded answer.
class OllamaReplayServer : public FakeOllamaServer {
    Q_OBJECT

public:
    explicit OllamaReplayServer(QObject* parent = nullptr);

    const ProviderReplay& replay() const { return m_replay; }

private:
    FakeResponse chatAnswer(const RecordedRequest& request) const;

    ProviderReplay m_replay;
};
