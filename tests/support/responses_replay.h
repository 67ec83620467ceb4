#pragma once

#include "support/provider_replay.h"

// OpenAI as it answers today for the models that take tools only through
// /v1/responses (tests/data/providers/openai_responses.json): the list of
// models; on /v1/chat/completions a request with tools is refused as it is for
// them; on /v1/responses each request is checked by the replay's rules and
// answered with its refusal, the recorded stream (stream: true), the recorded
// tool call (after a user message) or the recorded answer (after a result).
// Each user turn gets a call of its own: the call_id and the encrypted
// reasoning of the recorded call end in the number of the turn.
class ResponsesReplayServer : public ProviderReplayServer {
    Q_OBJECT

public:
    explicit ResponsesReplayServer(QObject* parent = nullptr);

    // The error this provider answers a /v1/responses request with, if any of its rules fails.
    std::optional<QString> refusal(const QJsonObject& request) const;

private:
    FakeResponse chatCompletionsAnswer(const RecordedRequest& request);
    FakeResponse responsesAnswer(const RecordedRequest& request);
    // The recorded tool call as answered in user turn `turn`.
    QJsonObject toolCallOfTurn(int turn) const;
};
