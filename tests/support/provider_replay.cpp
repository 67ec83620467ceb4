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

// The call carries every member the recorded call had beside id, type and function.
bool carriesOwnMembers(const QJsonObject& call, const QJsonObject& recorded) {
    return std::ranges::all_of(recorded.keys(), [&](const QString& key) {
        const bool own = key != "id" && key != "type" && key != "function";
        return !own || call.value(key) == recorded.value(key);
    });
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

QJsonObject lastMessage(const RecordedRequest& request) {
    return request.json().value("messages").toArray().last().toObject();
}

} // namespace

ProviderReplay::ProviderReplay(const QString& name)
    : m_corpus(jsonFile("providers/" + name + ".json")) {}

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
    QByteArrayList chunks;
    for (const QJsonValue& line : at(section(sectionName), "lines").toArray()) {
        chunks << line.toString().toUtf8() + '\n';
    }
    return FakeResponse::streamed(200, chunks, 0, "text/event-stream");
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
        if (calls.isEmpty()) {
            continue;
        }
        if (breaks("reasoningContentOnToolTurns",
                   at(message, "reasoning_content") != at(recorded, "reasoning_content"))) {
            return "missingReasoningContent";
        }
        QSet<QString> open;
        for (qsizetype j = 0; j < calls.size(); ++j) {
            const QJsonObject call = calls[j].toObject();
            if (breaks("nonEmptyToolCallId", at(call, "id").toString().isEmpty())) {
                return "emptyToolCallId";
            }
            if (breaks("echoToolCallExtras",
                       !carriesOwnMembers(call, at(recorded, "tool_calls")[j].toObject()))) {
                return "missingThoughtSignature";
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

FakeResponse ProviderReplayServer::chatAnswer(const RecordedRequest& request) {
    if (const std::optional<QString> refusal = m_replay.refusal(request.json())) {
        m_refusals << *refusal;
        return m_replay.error(*refusal);
    }
    const bool afterResult = lastMessage(request).value("role").toString() == "tool";
    return m_replay.response(afterResult ? "answer" : "toolCall");
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
    // Text mode sends a tool's result as a user message.
    const bool afterResult =
        lastMessage(request).value("content").toString().startsWith("[Tool Result: ");
    return m_replay.response(afterResult ? "answer" : "toolCall");
}
