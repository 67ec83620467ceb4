// Both model clients, chat completions and Ollama, against scripted servers on
// localhost and against what providers answer today (the replays in
// tests/data/providers; the tables in tests/data/models, one file per client).
// The round trip of tool calls with each provider's own members runs end to end
// in tst_chat_cli.

#include "models/cloud_api_service.h"
#include "models/cloud_protocol.h"
#include "models/http_exchange.h"
#include "models/line_splitter.h"
#include "models/local_llm_service.h"
#include "models/model_route.h"
#include "models/ollama_protocol.h"
#include "models/provider_message_rules.h"
#include "models/responses_stream.h"
#include "tools/tool_catalogue.h"

#include "support/json_rows.h"
#include "support/provider_replay.h"
#include "support/reply_rows.h"
#include "support/responses_replay.h"
#include "support/stream_recorder.h"
#include "support/task_outcome.h"

#include <QNetworkAccessManager>
#include <QtTest>

namespace {

const QString key = "sk-test-0123456789";
const QString table = "models/cloud.json";
const QStringList localTable{"models/local.json"};
const QString lineTable = "models/lines.json";
const QString responsesTable = "models/responses.json";

// A row's canned answer: a provider's recorded `error`, `stream` or `response`
// (with "replay" naming the provider), bytes that are no HTTP ("garbage"),
// server-sent events ("sse"), a body in "chunks" (with any "headers"), or one
// "body" (text as is, JSON compact); "status" defaults to 200.
FakeResponse responseFrom(const QJsonObject& row) {
    if (row.contains("replay")) {
        const ProviderReplay replay(row["replay"].toString());
        return row.contains("error")    ? replay.error(row["error"].toString())
               : row.contains("stream") ? replay.stream(row["stream"].toString())
                                        : replay.response(row["response"].toString());
    }
    if (row.contains("garbage")) {
        return FakeResponse::garbage(jsonBytes(row["garbage"]));
    }
    const int status = row["status"].toInt(200);
    if (row.contains("sse")) {
        return FakeResponse::sse(jsonTexts(row["sse"]), 10);
    }
    if (row.contains("chunks")) {
        QByteArrayList chunks;
        for (const QJsonValue& chunk : row["chunks"].toArray()) {
            chunks << jsonBytes(chunk);
        }
        FakeResponse response = FakeResponse::streamed(status, chunks, 10);
        for (const QString& name : row["headers"].toObject().keys()) {
            response.withHeader(name.toUtf8(), jsonBytes(row["headers"][name]));
        }
        return response;
    }
    return FakeResponse::text(status, jsonBytes(row["body"]),
                              row["contentType"].toString("application/json").toUtf8());
}

// The pieces and the end a row expects ("pieces", "fails"; a replay's from the replay).
void expectStreamOfRow(TextPieceStream* delivered, const QJsonObject& row) {
    const ProviderReplay replay(row.value("replay").toString("openai"));
    const QString section = row.value("stream").toString();
    const bool replayed = row.contains("replay");
    const QStringList pieces =
        replayed ? QStringList{replay.streamText(section)} : jsonTexts(row.value("pieces"));
    const QString failure = replayed ? replay.streamError(section) : row.value("fails").toString();
    StreamRecorder stream(delivered);
    QVERIFY2(!stream.ended(), "the stream must not end before its answer is read");
    QTRY_VERIFY(stream.ended());
    // A replay's text may come in any number of pieces.
    QCOMPARE(stream.pieces.join(QString()), pieces.join(QString()));
    if (!replayed) {
        QCOMPARE(stream.pieces, pieces);
    }
    QCOMPARE(stream.failures, failure.isEmpty() ? QStringList() : QStringList{failure});
    QCOMPARE(stream.finishes, failure.isEmpty() ? 1 : 0);
    QTRY_VERIFY(stream.stream.isNull()); // the ended stream deletes itself
}

// Sends `messages`; once `server` has taken `requests` more, a cancel ends the send.
void expectCancelledAfter(AIServiceProtocol& service, const QJsonArray& messages,
                          FakeHttpServer& server, int requests) {
    auto cancellation = std::make_shared<RequestCancellation>();
    const int before = server.requests().size();
    const auto outcome = startTask(service.sendChat(messages, cancellation));
    QTRY_COMPARE(server.requests().size(), before + requests);
    QVERIFY(!outcome->has_value());
    cancellation->cancel();
    QTRY_VERIFY(outcome->has_value());
    QCOMPARE(errorDescription((*outcome)->error()), "Operation canceled");
    QVERIFY(isCancellation((*outcome)->error()));
}

// Feeds `input` in pieces cut at `cuts` (ascending byte offsets).
QByteArrayList splitLines(const QByteArray& input, const QList<qsizetype>& cuts,
                          qsizetype maxLineLength) {
    LineSplitter splitter(maxLineLength);
    QByteArrayList lines;
    qsizetype start = 0;
    for (qsizetype cut : cuts) {
        lines += splitter.feed(QByteArrayView(input).sliced(start, cut - start));
        start = cut;
    }
    lines += splitter.feed(QByteArrayView(input).sliced(start));
    if (const std::optional<QByteArray> last = splitter.finish()) {
        lines.append(*last);
    }
    return lines;
}

WireMessages requestMessages(const QString& name) {
    return jsonTable("models/requests.json", name).toArray();
}

} // namespace

class ModelClientsTest : public QObject {
    Q_OBJECT

    FakeOpenAIServer m_server;
    CloudAPIService m_service{m_server.baseUrl(), key, "grok-3-mini"};
    FakeOllamaServer m_ollama;
    LocalLLMService m_local{m_ollama.baseUrl()};
    const WireMessages m_conversation = requestMessages("conversation");

    // The client a row is for, and the server it talks to.
    AIServiceProtocol& service(const QJsonObject& row) {
        return row.value("file") == "local" ? static_cast<AIServiceProtocol&>(m_local) : m_service;
    }
    FakeHttpServer& server(const QJsonObject& row) {
        return row.value("file") == "local" ? static_cast<FakeHttpServer&>(m_ollama) : m_server;
    }

private Q_SLOTS:
    void init() {
        m_service.setBaseURL(m_server.baseUrl());
        m_service.setApiKey(key);
        m_service.setModel("grok-3-mini");
    }

    // The cloud settings are read when each request is built, not when the
    // service is made. The one-shot request offers the tools (so that Ollama
    // teaches the local model their call format); the phone's stream never runs tools.
    void requestsHaveExactlyTheDocumentedShape_data() {
        addJsonRows("models/requests.json", "shapes");
    }
    void requestsHaveExactlyTheDocumentedShape() {
        QFETCH(QJsonObject, row);
        const bool cloud = row.value("client") == "cloud";
        row.insert("file", row.value("client"));
        // A base ending in "/" is concatenated as is.
        m_service.setBaseURL(m_server.baseUrl() + '/');
        m_service.setApiKey(row.value("key").toString());
        m_service.setModel(row.value("model").toString());
        FakeHttpServer& server = this->server(row);
        server.enqueue(cloud ? FakeOpenAIServer::chatReply("ok")
                             : FakeOllamaServer::chatReply("ok"));
        for (int streams = 0; streams < 2; ++streams) {
            server.enqueue(cloud ? FakeOpenAIServer::streamedText({"ok"})
                                 : FakeOllamaServer::streamedText({"ok"}));
        }
        const WireMessages messages = requestMessages(row.value("messages").toString());
        const int before = server.requests().size();
        QVERIFY(finished(service(row).sendChat(messages)).ok());
        StreamRecorder stream(service(row).streamChat(messages));
        QTRY_COMPARE(stream.finishes, 1);
        // Shown as it is written, the one-shot request is sent streamed, else the same.
        const ReplyProgress shown{[](const QString&) {}, {}};
        QVERIFY(finished(service(row).sendChat(messages, {}, shown)).ok());
        QJsonObject streamedWithTools = server.requests().at(before).json();
        streamedWithTools.insert("stream", true);
        QCOMPARE(server.requests().at(before + 2).json(), streamedWithTools);
        for (bool streamed : {false, true}) {
            const RecordedRequest request = server.requests().at(before + streamed);
            QCOMPARE(request.method + ' ' + request.target, row.value("request").toString());
            QCOMPARE(request.header("content-type").value_or(QString()), "application/json");
            QCOMPARE(request.header("authorization").value_or(QString()),
                     row.value("authorization").toString());
            QJsonObject expected = row.value("body").toObject();
            expected.insert("stream", streamed);
            if (!streamed) {
                expected.insert("tools", toolDefinitions());
            }
            QCOMPARE(request.json(), expected);
        }
    }

    // Longer conversations (two user turns, a provider switched) as the builder
    // makes them: each provider's own rules take the messages once the client
    // has applied that provider's message rules.
    void eachProviderTakesLongerConversations_data() {
        addJsonRows("models/provider_rules.json", "cases");
    }
    void eachProviderTakesLongerConversations() {
        QFETCH(QJsonObject, row);
        static const QHash<QString, MessageRules> rulesByName{{"plain", MessageRules::plain},
                                                              {"deepseek", MessageRules::deepseek},
                                                              {"gemini", MessageRules::gemini},
                                                              {"ark", MessageRules::ark}};
        const MessageRules rules = rulesByName.value(row["rules"].toString());
        const WireMessages built = row["messages"].toArray();
        ProviderReplayServer replay(row["replay"].toString());
        const QString model = replay.replay().modelIds().first();
        const WireMessages sent = applyMessageRules(rules, built);
        if (row["unchanged"].toBool()) {
            QCOMPARE(sent, built);
        }
        m_service.setBaseURL(replay.baseUrl());
        m_service.setModel(model);
        m_service.setMessageRules(rules);
        QVERIFY(finished(m_service.sendChat(built)).ok());
        QCOMPARE(replay.lastRequest().json()["messages"].toArray(), sent);
        QVERIFY2(replay.refusals().isEmpty() ||
                     replay.refusals() == QStringList{"reasoningEffortWithTools"},
                 qPrintable(replay.refusals().join(", ")));
        m_service.setMessageRules(MessageRules::plain);
    }

    // A model of the Responses API is sent there.
    void answersAreRead_data() {
        addJsonRows(table, "answers", localTable + QStringList{responsesTable});
    }
    void answersAreRead() {
        QFETCH(QJsonObject, row);
        if (row.value("file") == "responses") {
            m_service.setModel("gpt-6-astra");
            m_server.enqueue("POST", "/v1/responses", responseFrom(row));
        } else {
            server(row).enqueue(responseFrom(row));
        }
        const Result<ModelReply> reply = finished(service(row).sendChat({}));
        expectReplyOfRow(reply, row);
    }

    // Each provider's tool call and answer, streamed as it streams them today,
    // give the very reply that came whole; the text shows as it arrives and
    // reasoning is said to be under way.
    void aStreamedReplyIsTheWholeOne_data() {
        QTest::addColumn<QString>("provider");
        QTest::addColumn<QString>("section");
        for (const QString& provider : jsonFile("providers/streamed.json").keys()) {
            for (const char* section : {"toolCall", "answer"}) {
                if (provider != "note") {
                    QTest::addRow("%s %s", qPrintable(provider), section) << provider << section;
                }
            }
        }
    }
    void aStreamedReplyIsTheWholeOne() {
        QFETCH(QString, provider);
        QFETCH(QString, section);
        const ProviderReplay replay(provider);
        const bool local = provider == "ollama";
        const bool responses = provider == "openai_responses";
        m_service.setModel(responses ? "gpt-6-astra" : "grok-3-mini");
        const QJsonObject row{{"file", local ? "local" : "cloud"}};
        AIServiceProtocol& client = service(row);
        FakeHttpServer& server = this->server(row);
        const QString path = local       ? "/api/chat"
                             : responses ? "/v1/responses"
                                         : "/v1/chat/completions";
        server.enqueue("POST", path, replay.response(section));
        server.enqueue("POST", path, replay.streamed(section, 5));
        const WireMessages& messages = m_conversation;
        Result<ModelReply> whole = finished(client.sendChat(messages));
        QString shown;
        int reasoning = 0;
        const ReplyProgress progress{[&shown](const QString& piece) { shown += piece; },
                                     [&reasoning] { ++reasoning; }};
        Result<ModelReply> streamed = finished(client.sendChat(messages, {}, progress));
        // An id the provider left empty is one of ours, random each time.
        const QByteArray recorded = jsonBytes(replay.section(section));
        for (Result<ModelReply>* reply : {&whole, &streamed}) {
            for (NativeToolCall& call : reply->value().toolCalls) {
                if (!recorded.contains(call.id.toUtf8())) {
                    call.id = "ours";
                }
            }
        }
        QCOMPARE(streamed.value(), whole.value());
        QCOMPARE(shown, whole.value().text);
        const QJsonValue output = replay.section(section).value("body").toObject().value("output");
        const bool reasoned = responses ? jsonBytes(output).contains(R"("type":"reasoning")")
                                        : !whole.value().reasoningContent.value_or("").isEmpty();
        QCOMPARE(reasoning > 0, reasoned);
    }

    // A base nothing answers on ("closed"), or none at all.
    void unreachableOrInvalidBases_data() { addJsonRows(table, "bases", localTable); }
    void unreachableOrInvalidBases() {
        QFETCH(QJsonObject, row);
        const QString description = row.value("fails").toString();
        FakeHttpServer closed;
        closed.stopListening();
        const bool local = row.value("file") == "local";
        const QString given = row.value("base").toString();
        const QString base = given != "closed" ? given : closed.baseUrl() + (local ? "" : "/v1");
        m_service.setBaseURL(base);
        LocalLLMService localService(base);
        AIServiceProtocol& service =
            local ? static_cast<AIServiceProtocol&>(localService) : m_service;
        // Every kind of request fails, the stream not before streamChat has returned.
        QCOMPARE(errorDescription(finished(service.sendChat({})).error()), description);
        StreamRecorder stream(service.streamChat({}));
        QVERIFY2(!stream.ended(), "the stream must not end inside streamChat");
        QTRY_COMPARE(stream.failures, QStringList{description});
        QCOMPARE(finished(service.checkAvailability()), false);
    }

    void cancellationTimeoutAndNoKey() {
        m_server.enqueue(FakeResponse::silence());
        expectCancelledAfter(m_service, {}, m_server, 1);
        m_ollama.enqueue(FakeResponse::silence());
        expectCancelledAfter(m_local, {}, m_ollama, 1);
        // A request started after the cancel fails at once, without a connection.
        auto cancelled = std::make_shared<RequestCancellation>();
        cancelled->cancel();
        int connections = m_server.connectionCount();
        QVERIFY(isCancellation(finished(m_service.sendChat({}, cancelled)).error()));
        QCOMPARE(m_server.connectionCount(), connections);
        // A timeout is not reported as a cancellation.
        m_server.enqueue(FakeResponse::silence());
        QNetworkAccessManager network;
        const auto answer = finished(exchange(
            &network, makeRequest(QUrl(m_server.baseUrl()), std::chrono::milliseconds(200)), "GET",
            {}, std::make_shared<RequestCancellation>()));
        QCOMPARE(answer.error(), ModelError(PlatformError::timedOut()));
        // A stream of a destroyed service still ends.
        m_server.enqueue(FakeResponse::silence());
        auto* service = new CloudAPIService(m_server.baseUrl(), key, "m");
        const int before = m_server.requests().size();
        StreamRecorder stream(service->streamChat({}));
        QTRY_COMPARE(m_server.requests().size(), before + 1);
        delete service;
        QTRY_COMPARE(stream.failures, QStringList{"Operation canceled"});
        // Without a key no connection is made (listing works end to end in tst_chat_cli).
        m_service.setApiKey(QString());
        connections = m_server.connectionCount();
        QCOMPARE(finished(m_service.checkAvailability()), false);
        QCOMPARE(errorDescription(finished(m_service.listModels()).error()), "No API key is set");
        QCOMPARE(m_server.connectionCount(), connections);
    }

    // How the lines are read is the line tests' business; here what the client
    // does with a whole stream and at its ends.
    void streams_data() { addJsonRows(table, "streams", localTable); }
    // A model of the Responses API streams Responses events.
    void streams() {
        QFETCH(QJsonObject, row);
        m_service.setModel(row.value("model").toString("grok-3-mini"));
        server(row).enqueue(responseFrom(row));
        expectStreamOfRow(service(row).streamChat({}), row);
        if (row.contains("target")) {
            QCOMPARE(server(row).lastRequest().target, row.value("target").toString());
        }
    }

    void onlyARefusalThatAsksForNoReasoningOrNamesResponsesIsSentAgain_data() {
        addJsonRows(table, "refusals");
    }
    void onlyARefusalThatAsksForNoReasoningOrNamesResponsesIsSentAgain() {
        QFETCH(QJsonObject, row);
        const int requests = row.value("requests").toInt();
        const QString then = row.value("then").toString("/v1/chat/completions");
        m_server.enqueue("POST", "/v1/chat/completions", responseFrom(row));
        m_server.enqueue("POST", then,
                         then == "/v1/responses"
                             ? ProviderReplay("openai_responses").response("answer")
                             : FakeOpenAIServer::chatReply("ok"));
        // An id nothing is documented for yet.
        m_service.setModel(QStringLiteral("gpt-7-%1").arg(QTest::currentDataTag()));
        const int before = m_server.requests().size();
        QCOMPARE(finished(m_service.sendChat(m_conversation)).ok(), requests == 2);
        QCOMPARE(m_server.requests().size(), before + requests);
        const QJsonObject first = m_server.requests().at(before).json();
        const QJsonObject last = m_server.lastRequest().json();
        QVERIFY(!first.contains("reasoning_effort"));
        if (requests == 1) {
            QVERIFY(finished(m_service.sendChat(m_conversation)).ok()); // the queued reply
        } else if (then == "/v1/responses") {
            QCOMPARE(m_server.lastRequest().target, then);
            QVERIFY(!last.contains("reasoning_effort"));
        } else {
            QCOMPARE(last.value("messages"), first.value("messages"));
            QCOMPARE(last.value("reasoning_effort").toString(), "none");
        }
    }

    // The models OpenAI documents as taking tools on chat completions only with
    // reasoning off get "none" from the first request; others as they are.
    void documentedModelsAreSentAsTheyNeedFromTheFirstRequest_data() {
        addJsonRows(table, "documentedModels");
    }
    void documentedModelsAreSentAsTheyNeedFromTheFirstRequest() {
        QFETCH(QJsonObject, row);
        const QString model = row.value("tag").toString();
        const QJsonValue effort = row.value("reasoningEffort");
        QCOMPARE(documentedRoute(model).members.value("reasoning_effort"),
                 effort.isNull() ? QJsonValue(QJsonValue::Undefined) : effort);
        if (!row.value("replayed").toBool()) {
            return;
        }
        ProviderReplayServer openai("openai");
        m_service.setBaseURL(openai.baseUrl());
        m_service.setModel(model);
        QVERIFY(finished(m_service.sendChat(m_conversation)).ok());
        QCOMPARE(openai.refusals(),
                 effort.isNull() ? QStringList{"reasoningEffortWithTools"} : QStringList());
        QCOMPARE(openai.lastRequest().json().value("reasoning_effort").toString(), "none");
        // The stream offers no tools and needs nothing.
        openai.enqueue(openai.replay().stream("stream"));
        StreamRecorder stream(m_service.streamChat(m_conversation));
        QTRY_COMPARE(stream.finishes, 1);
        QVERIFY(!openai.lastRequest().json().contains("reasoning_effort"));
    }

    // A stop while a refused request is sent again without reasoning cancels it.
    void aStopWhileARefusalIsSentAgainCancels() {
        ProviderReplayServer openai("openai");
        m_service.setBaseURL(openai.baseUrl());
        m_service.setModel("gpt-6.2-sol");
        openai.enqueue("POST", "/v1/chat/completions",
                       openai.replay().error("reasoningEffortWithTools"));
        openai.enqueue("POST", "/v1/chat/completions", FakeResponse::silence());
        const int before = openai.requests().size();
        expectCancelledAfter(m_service, m_conversation, openai, 2);
        QVERIFY(!openai.requests().at(before).json().contains("reasoning_effort"));
    }
    // The models that take tools only through /v1/responses: a conversation
    // becomes input items, the catalogue the Responses tools, and nothing is
    // stored on the provider's side, so the reasoning comes back encrypted.
    void responsesModelsAreSentInputItems_data() { addJsonRows(responsesTable, "requests"); }
    void responsesModelsAreSentInputItems() {
        QFETCH(QJsonObject, row);
        ResponsesReplayServer openai;
        m_service.setBaseURL(openai.baseUrl());
        m_service.setModel("gpt-6.1-sol");
        const WireMessages messages = row.value("messages").toArray();
        QVERIFY(finished(m_service.sendChat(messages)).ok());
        StreamRecorder stream(m_service.streamChat(messages));
        QTRY_COMPARE(stream.finishes, 1);
        QJsonArray tools;
        for (const QJsonValue& tool : toolDefinitions()) {
            QJsonObject flat = tool["function"].toObject();
            flat.insert("type", "function");
            flat.insert("strict", false);
            tools.append(flat);
        }
        for (bool streamed : {false, true}) {
            const RecordedRequest request = openai.requests().at(streamed);
            QCOMPARE(request.method + ' ' + request.target, "POST /v1/responses");
            QCOMPARE(request.header("authorization").value_or(QString()), "Bearer " + key);
            QJsonObject expected{{"model", "gpt-6.1-sol"},
                                 {"input", row.value("input")},
                                 {"stream", streamed},
                                 {"store", false}};
            if (!streamed) {
                expected.insert("tools", tools);
                expected.insert("include", QJsonArray{"reasoning.encrypted_content"});
            }
            QCOMPARE(request.json(), expected);
        }
        if (!row.value("alsoOnChatCompletions").toBool()) {
            return;
        }
        // On chat completions the members only the Responses API reads are left
        // out: OpenAI refuses a member it does not know.
        ProviderReplayServer chat("openai");
        m_service.setBaseURL(chat.baseUrl());
        m_service.setModel("gpt-6-luna");
        QVERIFY(finished(m_service.sendChat(messages)).ok());
        QCOMPARE(chat.refusals(), QStringList());
    }

    // A model nothing is documented for goes where its refusals send it, and
    // stays there for that base URL.
    void aRefusalNamingTheResponsesApiSendsItThere() {
        const ProviderReplay replay("openai_responses");
        m_service.setModel("gpt-6.2-astra");
        m_server.enqueue("POST", "/v1/chat/completions", replay.error("toolsOnChatCompletions"));
        m_server.enqueue("POST", "/v1/chat/completions", replay.error("noneOnChatCompletions"));
        m_server.enqueue("POST", "/v1/responses", replay.response("toolCall"));
        m_server.enqueue("POST", "/v1/responses", replay.response("answer"));
        m_server.enqueue("POST", "/v1/responses", replay.stream("stream"));
        const int before = m_server.requests().size();
        QVERIFY(finished(m_service.sendChat(m_conversation)).ok());
        QVERIFY(finished(m_service.sendChat(m_conversation)).ok());
        StreamRecorder stream(m_service.streamChat(m_conversation));
        QTRY_COMPARE(stream.finishes, 1);
        QStringList targets;
        for (const RecordedRequest& request : m_server.requests().mid(before)) {
            targets << request.target + ' ' + request.json().value("reasoning_effort").toString();
        }
        QCOMPARE(targets, (QStringList{"/v1/chat/completions ", "/v1/chat/completions none",
                                       "/v1/responses ", "/v1/responses ", "/v1/responses "}));
        QCOMPARE(stream.pieces.join(QString()), replay.streamText("stream"));
        // Another base URL learns for itself.
        m_service.setBaseURL(m_server.baseUrl() + '/');
        m_server.enqueue(replay.error("toolsOnChatCompletions"));
        m_server.enqueue(replay.error("noneOnChatCompletions"));
        m_server.enqueue(replay.error("itemNotStored"));
        const QByteArray refused =
            jsonBytes(replay.section("errors").value("itemNotStored")["body"]);
        QCOMPARE(errorDescription(finished(m_service.sendChat(m_conversation)).error()),
                 "API error: " + QString::fromUtf8(refused).left(200));
    }

    // Cutting network bytes into lines and reading the lines of both streamed
    // formats (server-sent events and JSON lines).
    void linesComeOutWholeWhereverTheInputIsCut_data() { addJsonRows(lineTable, "split"); }
    void linesComeOutWholeWhereverTheInputIsCut() {
        QFETCH(QJsonObject, row);
        const QByteArray input = jsonBytes(row.value("input"));
        const qsizetype max = row.value("max").toInteger(LineSplitter::defaultMaxLineLength);
        QByteArrayList lines;
        for (const QString& line : jsonTexts(row.value("lines"))) {
            lines << line.toUtf8();
        }
        QList<qsizetype> everyByte;
        for (qsizetype cut = 0; cut <= input.size(); ++cut) {
            for (qsizetype second = cut; second <= input.size(); ++second) {
                QCOMPARE(splitLines(input, {cut, second}, max), lines);
            }
            if (cut > 0 && cut < input.size()) {
                everyByte.append(cut);
            }
        }
        QCOMPARE(splitLines(input, everyByte, max), lines);
    }

    void linesAreRead_data() { addJsonRows(lineTable, "lines"); }
    void linesAreRead() {
        QFETCH(QJsonObject, row);
        const QByteArray line = jsonBytes(row.value("line"));
        const QString reader = row.value("reader").toString();
        const StreamLine read = reader == "cloud"       ? readCloudStreamLine(line)
                                : reader == "responses" ? readResponsesStreamLine(line)
                                                        : readOllamaStreamLine(line);
        const QString failure = read.error ? errorDescription(*read.error) : QString();
        QCOMPARE(std::tuple(read.piece, read.ends, failure),
                 std::tuple(row.value("piece").toString(), row.value("ends").toBool(),
                            row.value("fails").toString(failure)));
    }
};

QTEST_GUILESS_MAIN(ModelClientsTest)
#include "tst_model_clients.moc"
