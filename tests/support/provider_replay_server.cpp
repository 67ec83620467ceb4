#include "support/provider_replay_server.h"

#include <QJsonArray>

namespace {

QJsonObject lastMessage(const RecordedRequest& request) {
    return request.json().value(QLatin1String("messages")).toArray().last().toObject();
}

} // namespace

ProviderReplayServer::ProviderReplayServer(const QString& name, QObject* parent)
    : FakeOpenAIServer(parent), m_replay(name) {
    setStandingResponse("GET", QStringLiteral("/v1/models"),
                        m_replay.response(QStringLiteral("models")));
    setComputedResponse("POST", QStringLiteral("/v1/chat/completions"),
                        [this](const RecordedRequest& request) { return chatAnswer(request); });
}

FakeResponse ProviderReplayServer::chatAnswer(const RecordedRequest& request) {
    if (const std::optional<QString> refusal = m_replay.refusal(request.json())) {
        m_refusals << *refusal;
        return m_replay.error(*refusal);
    }
    const bool afterResult =
        lastMessage(request).value(QLatin1String("role")).toString() == QLatin1String("tool");
    return m_replay.response(afterResult ? QStringLiteral("answer") : QStringLiteral("toolCall"));
}

OllamaReplayServer::OllamaReplayServer(QObject* parent)
    : FakeOllamaServer(parent), m_replay(QStringLiteral("ollama")) {
    setStandingResponse("GET", QStringLiteral("/api/tags"),
                        m_replay.response(QStringLiteral("tags")));
    setComputedResponse("POST", QStringLiteral("/api/chat"),
                        [this](const RecordedRequest& request) { return chatAnswer(request); });
}

FakeResponse OllamaReplayServer::chatAnswer(const RecordedRequest& request) const {
    if (!m_replay.modelIds().contains(request.json().value(QLatin1String("model")).toString())) {
        return m_replay.error(QStringLiteral("modelNotFound"));
    }
    // Text mode sends a tool's result as a user message.
    const bool afterResult = lastMessage(request)
                                 .value(QLatin1String("content"))
                                 .toString()
                                 .startsWith(QLatin1String("[Tool Result: "));
    return m_replay.response(afterResult ? QStringLiteral("answer") : QStringLiteral("toolCall"));
}
