#include "support/provider_replay.h"

#include "support/json_rows.h"

#include <QJsonArray>
#include <QSet>

#include <algorithm>

namespace {

QJsonValue at(const QJsonValue& value, const char* key) {
    return value.toObject().value(QLatin1String(key));
}

QString withoutPrefix(const QString& id) {
    return id.startsWith("models/") ? id.mid(7) : id;
}

bool hasRole(const QJsonValue& message, const char* role) {
    return at(message, "role").toString() == QLatin1String(role);
}

// The index just after the last user message: where the current turn starts.
qsizetype currentTurnStart(const QJsonArray& messages) {
    qsizetype start = messages.size();
    while (start > 0 && !hasRole(messages[start - 1], "user")) {
        --start;
    }
    return start;
}

// DeepSeek: between two user messages, once the model called a tool, every
// assistant message carries its reasoning_content (DeepSeek cannot tell whose it was).
bool reasoningMissingInToolTurn(const QJsonArray& messages) {
    bool calledTools = false;
    bool unreasoned = false;
    for (const QJsonValue& message : messages) {
        if (hasRole(message, "user")) {
            if (calledTools && unreasoned) {
                return true;
            }
            calledTools = unreasoned = false;
        }
        calledTools = calledTools || !at(message, "tool_calls").toArray().isEmpty();
        unreasoned = unreasoned || (hasRole(message, "assistant") &&
                                    !at(message, "reasoning_content").isString());
    }
    return calledTools && unreasoned;
}

// Gemini 3: each step of the current turn signs its first call, with the
// signature Gemini gave or the dummy Google documents for calls it did not make.
bool unsignedStepInCurrentTurn(const QJsonArray& messages, const QJsonValue& recordedCalls) {
    const QJsonValue recorded = at(at(recordedCalls.toArray().first(), "extra_content"), "google");
    for (qsizetype i = currentTurnStart(messages); i < messages.size(); ++i) {
        const QJsonArray calls = at(messages[i], "tool_calls").toArray();
        if (calls.isEmpty()) {
            continue;
        }
        const QJsonValue signature =
            at(at(at(calls.first(), "extra_content"), "google"), "thought_signature");
        if (signature != at(recorded, "thought_signature") &&
            signature != QJsonValue("skip_thought_signature_validator")) {
            return true;
        }
    }
    return false;
}

// Ark: an assistant tool-call turn without text, or an empty tool result.
bool contentMissing(const QJsonObject& message) {
    const QString content = at(message, "content").toString();
    const bool callsTools = !at(message, "tool_calls").toArray().isEmpty();
    return (callsTools || hasRole(message, "tool")) && content.isEmpty();
}

bool onlyKnownMembers(const QJsonObject& message) {
    static const QStringList messageKeys{"role", "content", "tool_calls", "tool_call_id", "name"};
    const auto within = [](const QJsonObject& object, const QStringList& known) {
        return std::ranges::all_of(object.keys(),
                                   [&](const QString& key) { return known.contains(key); });
    };
    return within(message, messageKeys) &&
           std::ranges::all_of(at(message, "tool_calls").toArray(), [&](const QJsonValue& call) {
               return within(call.toObject(), {"id", "type", "function"});
           });
}

// A whole recorded answer: its status (200 unless given), its JSON body, and the
// blank lines a busy DeepSeek sends before it.
FakeResponse recordedAnswer(const QJsonValue& recorded) {
    const QByteArray blank(at(recorded, "leadingBlankLines").toInt(), '\n');
    return FakeResponse::text(at(recorded, "status").toInt(200),
                              blank + jsonBytes(at(recorded, "body")), "application/json");
}

// Recorded server-sent lines, one chunk each.
FakeResponse linesStreamed(const QJsonValue& lines, int chunkDelayMs) {
    QByteArrayList chunks;
    for (const QJsonValue& line : lines.toArray()) {
        chunks << line.toString().toUtf8() + '\n';
    }
    return FakeResponse::streamed(200, chunks, chunkDelayMs, "text/event-stream");
}

QJsonObject lastMessage(const RecordedRequest& request) {
    return request.json().value("messages").toArray().last().toObject();
}

// The desktop's streamed request; the phone's streams without tools.
bool streamedWithTools(const RecordedRequest& request) {
    return request.json().value("stream").toBool() && request.json().contains("tools");
}

} // namespace

ProviderReplay::ProviderReplay(const QString& name)
    : m_corpus(jsonFile("providers/" + name + ".json")),
      m_streamed(jsonFile("providers/streamed.json").value(name).toObject()) {}

QString ProviderReplay::provider() const {
    return m_corpus.value("provider").toString();
}

QJsonObject ProviderReplay::section(const QString& name) const {
    return m_corpus.value(name).toObject();
}

FakeResponse ProviderReplay::response(const QString& sectionName) const {
    return recordedAnswer(section(sectionName));
}

FakeResponse ProviderReplay::error(const QString& name) const {
    return recordedAnswer(section("errors").value(name));
}

FakeResponse ProviderReplay::stream(const QString& sectionName) const {
    return linesStreamed(at(section(sectionName), "lines"), 0);
}

FakeResponse ProviderReplay::streamed(const QString& sectionName, int chunkDelayMs) const {
    return linesStreamed(at(m_streamed.value(sectionName), "lines"), chunkDelayMs);
}

QString ProviderReplay::streamText(const QString& sectionName) const {
    return at(section(sectionName), "text").toString();
}

QString ProviderReplay::streamError(const QString& sectionName) const {
    return at(section(sectionName), "error").toString();
}

QStringList ProviderReplay::modelIds() const {
    QStringList ids;
    for (const QJsonValue& entry : at(at(section("models"), "body"), "data").toArray()) {
        ids << at(entry, "id").toString();
    }
    for (const QJsonValue& entry : at(at(section("tags"), "body"), "models").toArray()) {
        ids << at(entry, "name").toString();
    }
    return ids;
}

std::optional<QString> ProviderReplay::refusal(const QJsonObject& request) const {
    const QStringList rules = jsonTexts(m_corpus.value("rules"));
    const auto breaks = [&rules](const char* rule, bool broken) {
        return broken && rules.contains(QLatin1String(rule));
    };
    QStringList listed;
    std::ranges::transform(modelIds(), std::back_inserter(listed), withoutPrefix);
    if (breaks("modelListed", !listed.contains(withoutPrefix(at(request, "model").toString())))) {
        return "modelNotFound";
    }
    if (breaks("toolsWithoutReasoning",
               request.contains("tools") &&
                   at(request, "reasoning_effort") != QJsonValue("none"))) {
        return "reasoningEffortWithTools";
    }
    const QJsonValue recorded =
        at(at(at(section("toolCall"), "body"), "choices").toArray().first(), "message");
    const QJsonArray messages = at(request, "messages").toArray();
    if (breaks("reasoningContentInToolTurns", reasoningMissingInToolTurn(messages))) {
        return "missingReasoningContent";
    }
    if (breaks("thoughtSignatureOnCurrentTurn",
               unsignedStepInCurrentTurn(messages, at(recorded, "tool_calls")))) {
        return "missingThoughtSignature";
    }
    for (qsizetype i = 0; i < messages.size(); ++i) {
        const QJsonObject message = messages[i].toObject();
        const QJsonArray calls = at(message, "tool_calls").toArray();
        if (breaks("noUnknownMembers", !onlyKnownMembers(message))) {
            return "unknownMember";
        }
        if (breaks("nonEmptyToolCallId", message.contains("tool_call_id") &&
                                             at(message, "tool_call_id").toString().isEmpty())) {
            return "emptyToolCallId";
        }
        if (breaks("contentNotEmpty", contentMissing(message))) {
            return "missingContent";
        }
        if (calls.isEmpty()) {
            continue;
        }
        QSet<QString> open;
        for (const QJsonValue& call : calls) {
            if (breaks("nonEmptyToolCallId", at(call, "id").toString().isEmpty())) {
                return "emptyToolCallId";
            }
            open << at(call, "id").toString();
        }
        // One tool message per call, right after the turn that made them.
        bool strayResult = false;
        for (qsizetype next = i + 1;
             next < messages.size() && at(messages[next], "role").toString() == "tool"; ++next) {
            strayResult =
                !open.remove(at(messages[next], "tool_call_id").toString()) || strayResult;
        }
        if (breaks("toolResultsFollowCalls", strayResult || !open.isEmpty())) {
            return "toolResultsMismatch";
        }
    }
    return std::nullopt;
}

ProviderReplayServer::ProviderReplayServer(const QString& name, QObject* parent)
    : FakeOpenAIServer(parent), m_replay(name) {
    setStandingResponse("GET", "/v1/models", m_replay.response("models"));
    setComputedResponse("POST", "/v1/chat/completions",
                        [this](const RecordedRequest& request) { return chatAnswer(request); });
}

FakeResponse ProviderReplayServer::refused(const QString& name) {
    m_refusals << name;
    return m_replay.error(name);
}

FakeResponse ProviderReplayServer::chatAnswer(const RecordedRequest& request) {
    if (const std::optional<QString> refusal = m_replay.refusal(request.json())) {
        return refused(*refusal);
    }
    const bool afterResult = lastMessage(request).value("role").toString() == "tool";
    const QString section = afterResult ? "answer" : "toolCall";
    return streamedWithTools(request) ? m_replay.streamed(section) : m_replay.response(section);
}

OllamaReplayServer::OllamaReplayServer(QObject* parent)
    : FakeOllamaServer(parent), m_replay("ollama") {
    setStandingResponse("GET", "/api/tags", m_replay.response("tags"));
    setComputedResponse("POST", "/api/chat",
                        [this](const RecordedRequest& request) { return chatAnswer(request); });
}

FakeResponse OllamaReplayServer::chatAnswer(const RecordedRequest& request) const {
    if (!m_replay.modelIds().contains(request.json().value("model").toString())) {
        return m_replay.error("modelNotFound");
    }
    // The recorded call came as native tool_calls: the model's template reads its
    // result only in Ollama's shape, the assistant's calls and then a "tool"
    // message naming the tool. Anything else leaves it calling the tool again.
    const QJsonArray messages = request.json().value("messages").toArray();
    const qsizetype last = messages.size() - 1;
    const QJsonValue call =
        at(at(messages.at(last - 1), "tool_calls").toArray().first(), "function");
    const bool afterResult = last > 0 && hasRole(messages.at(last), "tool") &&
                             at(messages.at(last), "tool_name") == at(call, "name") &&
                             at(call, "arguments").isObject();
    const QString section = afterResult ? "answer" : "toolCall";
    return streamedWithTools(request) ? m_replay.streamed(section) : m_replay.response(section);
}
