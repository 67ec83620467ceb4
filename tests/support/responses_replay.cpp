#include "support/responses_replay.h"

#include "support/json_rows.h"

#include <QJsonArray>
#include <QSet>

#include <algorithm>

namespace {

const QStringList responsesOnly{"gpt-6-astra", "gpt-6.1-sol"};

// The members each kind of input item may have.
const QHash<QString, QStringList>& itemMembers() {
    static const QHash<QString, QStringList> members{
        {"message", {"type", "role", "content", "id", "status"}},
        {"function_call", {"type", "call_id", "name", "arguments", "id", "status"}},
        {"function_call_output", {"type", "call_id", "output", "id", "status"}},
        {"reasoning", {"type", "summary", "encrypted_content", "content", "id", "status"}}};
    return members;
}

QString itemType(const QJsonObject& item) {
    return item.value("type").toString(item.contains("role") ? "message" : QString());
}

bool onlyMembers(const QJsonObject& object, const QStringList& known) {
    return std::ranges::all_of(object.keys(),
                               [&](const QString& key) { return known.contains(key); });
}

int userTurns(const QJsonArray& input) {
    return int(std::ranges::count_if(
        input, [](const QJsonValue& item) { return item["role"].toString() == "user"; }));
}

} // namespace

ResponsesReplayServer::ResponsesReplayServer(QObject* parent)
    : ProviderReplayServer("openai_responses", parent) {
    setComputedResponse("POST", "/v1/chat/completions", [this](const RecordedRequest& request) {
        return chatCompletionsAnswer(request);
    });
    setComputedResponse("POST", "/v1/responses", [this](const RecordedRequest& request) {
        return responsesAnswer(request);
    });
}

QJsonObject ResponsesReplayServer::toolCallOfTurn(int turn) const {
    QJsonObject body = replay().section("toolCall").value("body").toObject();
    QJsonArray output = body.value("output").toArray();
    for (QJsonValueRef value : output) {
        QJsonObject item = value.toObject();
        for (const char* key : {"call_id", "encrypted_content"}) {
            if (item.contains(key)) {
                item.insert(key, item.value(key).toString() + QString::number(turn));
            }
        }
        value = item;
    }
    body.insert("output", output);
    return body;
}

FakeResponse ResponsesReplayServer::chatCompletionsAnswer(const RecordedRequest& request) {
    const QJsonObject body = request.json();
    if (!replay().modelIds().contains(body.value("model").toString())) {
        return refused("modelNotFound");
    }
    if (responsesOnly.contains(body.value("model").toString()) && body.contains("tools")) {
        return refused(body.value("reasoning_effort") == QJsonValue("none")
                           ? "noneOnChatCompletions"
                           : "toolsOnChatCompletions");
    }
    // Without tools these models answer on chat completions too; nothing here asks for that.
    return FakeResponse::text(500, "not replayed");
}

std::optional<QString> ResponsesReplayServer::refusal(const QJsonObject& request) const {
    const QStringList rules = jsonTexts(replay().section("rules").value("names"));
    const auto breaks = [&rules](const char* rule, bool broken) {
        return broken && rules.contains(QLatin1String(rule));
    };
    if (breaks("modelListed", !replay().modelIds().contains(request.value("model").toString()))) {
        return "modelNotFound";
    }
    for (const QJsonValue& tool : request.value("tools").toArray()) {
        if (breaks("responsesTools", !tool["name"].isString())) {
            return "toolsInChatShape";
        }
    }
    const QJsonArray input = request.value("input").toArray();
    const bool stored = request.value("store").toBool(true);
    QSet<QString> called;
    QSet<QString> answered;
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QJsonObject item = input[i].toObject();
        const QString type = itemType(item);
        if (breaks("onlyInputItems", !itemMembers().contains(type) ||
                                         !onlyMembers(item, itemMembers().value(type)))) {
            return "unknownParameter";
        }
        static const QStringList roles{"user", "assistant", "system", "developer"};
        if (breaks("onlyInputItems",
                   type == "message" && !roles.contains(item.value("role").toString()))) {
            return "invalidRole";
        }
        if (breaks("noStoredItems", !stored && item.contains("id"))) {
            return "itemNotStored";
        }
        const QString callId = item.value("call_id").toString();
        if (type == "function_call_output") {
            if (breaks("outputsFollowCalls", !called.contains(callId))) {
                return "outputWithoutCall";
            }
            answered << callId;
        }
        if (type != "function_call") {
            continue;
        }
        called << callId;
        // A call of ours comes back right after the reasoning it followed, as it came.
        for (int turn = 1; turn <= userTurns(input); ++turn) {
            const QJsonArray output = toolCallOfTurn(turn).value("output").toArray();
            const QJsonValue before = i > 0 ? input[i - 1] : QJsonValue();
            if (breaks("reasoningWithCalls",
                       callId == output.last()["call_id"].toString() &&
                           before["encrypted_content"] != output.first()["encrypted_content"])) {
                return "callWithoutReasoning";
            }
        }
    }
    if (breaks("outputsFollowCalls", called != answered)) {
        return "callWithoutOutput";
    }
    return std::nullopt;
}

FakeResponse ResponsesReplayServer::responsesAnswer(const RecordedRequest& request) {
    const QJsonObject body = request.json();
    if (const std::optional<QString> name = refusal(body)) {
        return refused(*name);
    }
    if (body.value("stream").toBool()) {
        return replay().stream("stream");
    }
    const QJsonArray input = body.value("input").toArray();
    if (itemType(input.last().toObject()) == "function_call_output") {
        return replay().response("answer");
    }
    return FakeResponse::text(200, jsonBytes(toolCallOfTurn(userTurns(input))), "application/json");
}
