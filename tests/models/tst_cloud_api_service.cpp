// The chat-completions client against a scripted provider on localhost, and
// against what providers answer today (the replays in tests/data/providers):
// streams with keep-alives, usage chunks and error objects, error bodies, model
// lists, OpenAI's refusal of tools without reasoning_effort "none". The round
// trip of tool calls with each provider's own members runs end to end in
// tst_chat_cli.

#include "models/cloud_api_service.h"
#include "models/cloud_protocol.h"
#include "models/http_exchange.h"
#include "tools/tool_catalogue.h"

#include "stream_recorder.h"
#include "support/provider_replay_server.h"
#include "support/task_outcome.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QtTest>

Q_DECLARE_METATYPE(FakeResponse)
Q_DECLARE_METATYPE(ModelReply)

namespace {

const QString key = "sk-test-0123456789";
const QString cannotRead = "Cloud API returned an error";

WireMessages conversation() {
    const QJsonObject call{
        {"id", "call_1"},
        {"type", "function"},
        {"function", QJsonObject{{"name", "list_directory"}, {"arguments", R"({"path":"~"})"}}}};
    return {QJsonObject{{"role", "system"}, {"content", "Be brief."}},
            QJsonObject{{"role", "user"}, {"content", "What is in my home?"}},
            QJsonObject{
                {"role", "assistant"}, {"content", QJsonValue()}, {"tool_calls", QJsonArray{call}}},
            QJsonObject{{"role", "tool"}, {"tool_call_id", "call_1"}, {"content", "Desktop/"}}};
}

QByteArray sseEvent(const QByteArray& content) {
    return R"(data: {"choices":[{"index":0,"delta":{"content":")" + content + R"("}}]})";
}

// A port on which nothing listens.
QString closedBase() {
    FakeHttpServer server;
    server.stopListening();
    return server.baseUrl() + "/v1";
}

} // namespace

class CloudAPIServiceTest : public QObject {
    Q_OBJECT

    FakeOpenAIServer m_server;
    CloudAPIService m_service{m_server.baseUrl(), key, "grok-3-mini"};

    Result<ModelReply> replyTo(const FakeResponse& response) {
        m_server.enqueue(response);
        return finished(m_service.sendChat({}));
    }

private Q_SLOTS:
    void init() {
        m_service.setBaseURL(m_server.baseUrl());
        m_service.setApiKey(key);
        m_service.setModel("grok-3-mini");
    }

    // The settings are read when each request is built, not when the service is made.
    void requestsHaveExactlyTheDocumentedShape() {
        FakeOpenAIServer second;
        second.enqueue(FakeOpenAIServer::chatReply("ok"));
        second.enqueue(FakeOpenAIServer::streamedText({"x"}));
        // A base ending in "/" is concatenated as is.
        m_service.setBaseURL(second.baseUrl() + '/');
        m_service.setApiKey("sk-other");
        m_service.setModel("deepseek-chat");
        QVERIFY(finished(m_service.sendChat(conversation())).ok());
        StreamRecorder stream(m_service.streamChat(conversation()));
        QTRY_COMPARE(stream.finishes, 1);
        QCOMPARE(second.requests().size(), 2);
        for (bool streamed : {false, true}) {
            const RecordedRequest request = second.requests().at(streamed);
            QCOMPARE(request.method + ' ' + request.path.toUtf8(), "POST /v1//chat/completions");
            QCOMPARE(request.header("Content-Type"), "application/json");
            QCOMPARE(request.header("Authorization"), "Bearer sk-other");
            // The null content of a tool-calling turn goes out as null; the
            // stream (the phone's) carries no tools.
            QJsonObject expected{
                {"model", "deepseek-chat"}, {"messages", conversation()}, {"stream", streamed}};
            if (!streamed) {
                expected.insert("tools", toolDefinitions());
            }
            QCOMPARE(request.json(), expected);
        }
    }

    void repliesAreDecoded_data() {
        QTest::addColumn<QJsonObject>("message");
        QTest::addColumn<ModelReply>("expected");
        const auto call = [](const char* id, const char* name, const char* arguments) {
            return FakeOpenAIServer::toolCall(id, name, arguments);
        };
        QTest::newRow("text") << QJsonObject{{"content", "Hello"}} << ModelReply{"Hello", {}};
        QTest::newRow("nothing") << QJsonObject{{"content", QJsonValue()}} << ModelReply{};
        QTest::newRow("null content and one call")
            << QJsonObject{{"content", QJsonValue()},
                           {"tool_calls", QJsonArray{call("c1", "read_file",
                                                          R"({"path": "~/a.txt", "lines": 5})")}}}
            << ModelReply{"",
                          {{"c1",
                            "read_file",
                            {{"path", "~/a.txt"}, {"lines", "5"}},
                            R"({"path": "~/a.txt", "lines": 5})"}}};
        QTest::newRow("two calls keep their order")
            << QJsonObject{{"content", "Let me look."},
                           {"tool_calls", QJsonArray{call("b", "search_files", R"({"flag":true})"),
                                                     call("a", "run_command", "{}")}}}
            << ModelReply{"Let me look.",
                          {{"b", "search_files", {{"flag", "1"}}, R"({"flag":true})"},
                           {"a", "run_command", {}, "{}"}}};
        QTest::newRow("arguments not json: empty map, raw kept")
            << QJsonObject{{"tool_calls", QJsonArray{call("c", "read_file", "{path: x")}}}
            << ModelReply{"", {{"c", "read_file", {}, "{path: x"}}};
        QTest::newRow("arguments an array: empty map")
            << QJsonObject{{"tool_calls", QJsonArray{call("c", "read_file", "[1]")}}}
            << ModelReply{"", {{"c", "read_file", {}, "[1]"}}};
        QJsonObject numericName = call("y", "read_file", "{}");
        numericName["function"] = QJsonObject{{"name", 3}, {"arguments", "{}"}};
        QJsonObject objectArguments = call("z", "read_file", "{}");
        objectArguments["function"] =
            QJsonObject{{"name", "read_file"}, {"arguments", QJsonObject{{"path", "a"}}}};
        QJsonObject functionText = call("w", "read_file", "{}");
        functionText["function"] = "read_file";
        QTest::newRow("malformed entries skipped one by one")
            << QJsonObject{{"content", "t"},
                           {"tool_calls",
                            QJsonArray{call("ok1", "read_file", "{}"), numericName, objectArguments,
                                       functionText, call("ok2", "write_file", "{}")}}}
            << ModelReply{"t", {{"ok1", "read_file", {}, "{}"}, {"ok2", "write_file", {}, "{}"}}};
        QTest::newRow("tool_calls not a list of objects")
            << QJsonObject{{"content", "t"},
                           {"tool_calls", QJsonArray{call("c", "read_file", "{}"), 1}}}
            << ModelReply{"t", {}};
        QTest::newRow("content not text") << QJsonObject{{"content", 12}} << ModelReply{};
    }
    void repliesAreDecoded() {
        QFETCH(QJsonObject, message);
        QFETCH(ModelReply, expected);
        const Result<ModelReply> reply = replyTo(FakeResponse::json(
            200, {{"choices", QJsonArray{QJsonObject{{"index", 0}, {"message", message}}}}}));
        QVERIFY(reply.ok());
        QCOMPARE(reply.value(), expected);
    }

    void missingIdsAreOursAndDistinct() {
        const QJsonObject call{
            {"type", "function"},
            {"function", QJsonObject{{"name", "read_file"}, {"arguments", "{}"}}}};
        const QList<NativeToolCall> calls = decodeCloudToolCalls(QJsonArray{call, call});
        QCOMPARE(calls.size(), 2);
        QVERIFY(calls[0].id.startsWith("call_") && calls[0].id.size() == 29);
        QVERIFY(calls[0].id != calls[1].id);
    }

    void failuresBecomeTheirErrors_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<QString>("description"); // ending in "...": how it starts
        const QByteArray unauthorized = R"({"error":{"message":"Incorrect API key provided"}})";
        QTest::newRow("401 with a json body")
            << FakeResponse::text(401, unauthorized, "application/json")
            << QString("API error: " + unauthorized);
        QTest::newRow("500-character body cut to 200")
            << FakeResponse::text(500, QByteArray(150, 'a') + QByteArray(350, 'b'))
            << "API error: " + QString(150, 'a') + QString(50, 'b');
        QTest::newRow("non-utf-8 error body")
            << FakeResponse::text(502, "\xff\xfe\x80 bad") << cannotRead;
        // Nothing to quote: the status says what happened.
        QTest::newRow("empty 404 body")
            << FakeResponse::text(404, "") << "API error: HTTP 404 Not Found";
        QTest::newRow("blank 503 body")
            << FakeResponse::text(503, "\n \n") << "API error: HTTP 503 Service Unavailable";
        FakeResponse created = FakeOpenAIServer::chatReply("hi");
        created.status = 201;
        QTest::newRow("201 is not 200")
            << created << QString("API error: " + created.chunks.first());
        QTest::newRow("missing choices") << FakeResponse::json(200, {{"id", "x"}}) << cannotRead;
        QTest::newRow("empty choices")
            << FakeResponse::json(200, {{"choices", QJsonArray{}}}) << cannotRead;
        QTest::newRow("message not an object")
            << FakeResponse::json(200, {{"choices", QJsonArray{QJsonObject{{"message", "hi"}}}}})
            << cannotRead;
        QTest::newRow("top level an array")
            << FakeResponse::text(200, "[{\"choices\":[]}]", "application/json") << cannotRead;
        QTest::newRow("key echoed back is masked")
            << FakeResponse::text(401, "bad key " + key.toUtf8()) << "API error: bad key [API key]";
        // As providers write them today.
        QTest::newRow("gemini: a JSON array")
            << ProviderReplay("gemini").error("missingThoughtSignature")
            << "API error: [{\"error\":{\"code\":400,...";
        QTest::newRow("deepseek: retired model")
            << ProviderReplay("deepseek").error("modelNotFound")
            << "API error: {\"error\":{\"code\":...";
        QTest::newRow("openai: an empty 503")
            << ProviderReplay("openai").error("serviceUnavailable")
            << "API error: HTTP 503 Service Unavailable";
    }
    void failuresBecomeTheirErrors() {
        QFETCH(FakeResponse, response);
        QFETCH(QString, description);
        const Result<ModelReply> reply = replyTo(response);
        QVERIFY(!reply.ok());
        const QString said = errorDescription(reply.error());
        QVERIFY2(description.endsWith("...") ? said.startsWith(description.chopped(3))
                                             : said == description,
                 qPrintable(said));
        QVERIFY(!said.contains(key));
    }

    void bodyThatIsNotJsonGivesTheParsersWords() {
        const QByteArray body = "{\"choices\": [";
        const Result<ModelReply> reply = replyTo(FakeResponse::text(200, body, "application/json"));
        const auto* error = std::get_if<PlatformError>(&reply.error());
        QVERIFY(error != nullptr);
        QCOMPARE(error->kind, PlatformError::Case::invalidJson);
        QJsonParseError parserSays{};
        QJsonDocument::fromJson(body, &parserSays);
        QCOMPARE(error->text, parserSays.errorString());
    }

    void unreachableOrInvalidBases_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("description");
        const QString invalid = PlatformError::invalidBaseURL().text;
        QTest::newRow("refused") << closedBase() << "Connection refused";
        for (const char* base : {"", "not a url", "https://", "ftp://example.com/v1",
                                 "https://example.com:99999/v1"}) {
            QTest::newRow(base) << QString(base) << invalid;
        }
    }
    void unreachableOrInvalidBases() {
        QFETCH(QString, base);
        QFETCH(QString, description);
        m_service.setBaseURL(base);
        QCOMPARE(errorDescription(finished(m_service.sendChat({})).error()), description);
        StreamRecorder stream(m_service.streamChat({}));
        QVERIFY2(!stream.ended(), "the stream must not end inside streamChat");
        QTRY_COMPARE(stream.failures, QStringList{description});
        QVERIFY(stream.pieces.isEmpty());
        QCOMPARE(finished(m_service.checkAvailability()), false);
    }

    void cancellation() {
        m_server.enqueue(FakeResponse::silence());
        auto cancellation = std::make_shared<RequestCancellation>();
        const int before = m_server.requests().size();
        const auto outcome = startTask(m_service.sendChat({}, cancellation));
        QTRY_COMPARE(m_server.requests().size(), before + 1);
        QVERIFY(!outcome->has_value());
        cancellation->cancel();
        QTRY_VERIFY(outcome->has_value());
        QVERIFY(isCancellation((*outcome)->error()));
        QCOMPARE(errorDescription((*outcome)->error()), "Operation canceled");
        // A request started after the cancel fails at once, without a connection.
        const int connections = m_server.connectionCount();
        const auto late = startTask(m_service.sendChat({}, cancellation));
        QVERIFY(late->has_value() && isCancellation((*late)->error()));
        QCOMPARE(m_server.connectionCount(), connections);
    }

    void timeoutIsNotReportedAsCancellation() {
        m_server.enqueue(FakeResponse::silence());
        QNetworkAccessManager network;
        const auto answer = finished(exchange(
            &network, makeRequest(QUrl(m_server.baseUrl()), std::chrono::milliseconds(200)), "GET",
            {}, std::make_shared<RequestCancellation>()));
        QCOMPARE(answer.error(), ModelError(PlatformError::timedOut()));
    }

    // How the lines are read is the line tests' business; here what the client
    // does with a whole stream and at its ends.
    void streams_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("failure");
        QTest::newRow("pieces in order")
            << FakeOpenAIServer::streamedText({"Hel", "lo", ", ", "world"}, 10)
            << QStringList{"Hel", "lo", ", ", "world"} << QString();
        QTest::newRow("body ends without done")
            << FakeResponse::streamed(200, {sseEvent("one") + "\n\n", sseEvent("two")}, 15)
            << QStringList{"one", "two"} << QString();
        QTest::newRow("no text at all")
            << FakeResponse::sse({"[DONE]"}) << QStringList() << QString();
        QTest::newRow("an error status delivers nothing")
            << FakeResponse::streamed(500, {sseEvent("leak") + "\n\n"}) << QStringList()
            << cannotRead;
        QTest::newRow("a streamed error never shows the key")
            << FakeResponse::sse(
                   {"{\"error\":{\"message\":\"Incorrect API key provided: " + key + "\"}}"})
            << QStringList() << "API error: Incorrect API key provided: [API key]";
        for (const auto& [name, section] : {std::pair{"gemini", "stream"},
                                            {"deepseek", "stream"},
                                            {"openai", "stream"},
                                            {"openai", "streamError"}}) {
            const ProviderReplay replay(name);
            const QString error = replay.streamError(section);
            QTest::addRow("%s %s", name, section)
                << replay.stream(section) << QStringList{replay.streamText(section)} << error;
        }
    }
    void streams() {
        QFETCH(FakeResponse, response);
        QFETCH(QStringList, pieces);
        QFETCH(QString, failure);
        m_server.enqueue(response);
        StreamRecorder stream(m_service.streamChat({}));
        QVERIFY(!stream.ended());
        QTRY_VERIFY(stream.ended());
        QCOMPARE(stream.pieces.join(QString()), pieces.join(QString()));
        if (pieces.size() > 1) {
            QCOMPARE(stream.pieces, pieces);
        }
        QCOMPARE(stream.failures, failure.isEmpty() ? QStringList() : QStringList{failure});
        QCOMPARE(stream.finishes, failure.isEmpty() ? 1 : 0);
        QTRY_VERIFY(stream.stream.isNull()); // the ended stream deletes itself
    }

    void streamBrokenOffKeepsItsPiecesAndFails() {
        // Content-Length promises more than is sent before the connection closes:
        // not a whole answer, whether or not Qt notices.
        m_server.enqueue(
            FakeResponse::streamed(200, {sseEvent("kept") + "\n\n"}, 10, "text/event-stream")
                .withHeader("Content-Length", "10000"));
        StreamRecorder stream(m_service.streamChat({}));
        QTRY_COMPARE(stream.failures, QStringList{"Connection closed"});
        QCOMPARE(stream.pieces, QStringList{"kept"});
        QCOMPARE(stream.finishes, 0);
    }

    void streamOfADestroyedServiceStillEnds() {
        m_server.enqueue(FakeResponse::silence());
        auto* service = new CloudAPIService(m_server.baseUrl(), key, "m");
        const int before = m_server.requests().size();
        StreamRecorder stream(service->streamChat({}));
        QTRY_COMPARE(m_server.requests().size(), before + 1);
        delete service;
        QTRY_COMPARE(stream.failures, QStringList{"Operation canceled"});
    }

    void probeAnswers_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<bool>("available");
        QTest::newRow("200") << FakeResponse::json(200, {{"data", QJsonArray{}}}) << true;
        QTest::newRow("304") << FakeResponse::text(304, "") << true;
        QTest::newRow("302 without location") << FakeResponse::text(302, "") << true;
        QTest::newRow("399") << FakeResponse::text(399, "") << true;
        QTest::newRow("401") << FakeResponse::text(401, "{}") << false;
        QTest::newRow("404") << FakeResponse::text(404, "") << false;
        QTest::newRow("500") << FakeResponse::text(500, "") << false;
        QTest::newRow("not http") << FakeResponse::garbage("SSH-2.0-OpenSSH\r\n") << false;
    }
    void probeAnswers() {
        QFETCH(FakeResponse, response);
        QFETCH(bool, available);
        m_server.enqueue(response);
        QCOMPARE(finished(m_service.checkAvailability()), available);
        const RecordedRequest request = m_server.lastRequest();
        QCOMPARE(request.method + ' ' + request.path.toUtf8(), "GET /v1/models");
        QCOMPARE(request.header("Authorization"), "Bearer " + key.toUtf8());
    }

    void probeFollowsRedirectsAndNeedsAKey() {
        m_server.enqueue("GET", "/v1/models",
                         FakeResponse::text(302, "").withHeader("Location", "/v1/elsewhere"));
        m_server.enqueue("GET", "/v1/elsewhere", FakeResponse::text(401, ""));
        const int before = m_server.requests().size();
        QCOMPARE(finished(m_service.checkAvailability()), false);
        QCOMPARE(m_server.requests().size(), before + 2);
        m_service.setApiKey(QString());
        const int connections = m_server.connectionCount();
        QCOMPARE(finished(m_service.checkAvailability()), false);
        QCOMPARE(m_server.connectionCount(), connections);
    }

    void modelListsAndWhyOneIsMissing() {
        ProviderReplayServer server("gemini");
        m_service.setBaseURL(server.baseUrl());
        const Result<QStringList> listed = finished(m_service.listModels());
        QVERIFY(listed.ok());
        QCOMPARE(listed.value(), server.replay().modelIds());
        QCOMPARE(server.lastRequest().header("authorization"), "Bearer " + key.toUtf8());
        server.setStandingResponse("GET", "/v1/models",
                                   FakeResponse::text(401, "Incorrect API key"));
        QCOMPARE(errorDescription(finished(m_service.listModels()).error()),
                 "API error: Incorrect API key");
        m_service.setApiKey(QString());
        const int requests = server.requests().size();
        QCOMPARE(errorDescription(finished(m_service.listModels()).error()), "No API key is set");
        QCOMPARE(server.requests().size(), requests);
    }

    void onlyARefusalThatAsksForNoReasoningIsSentAgain_data() {
        QTest::addColumn<QByteArray>("refusal");
        QTest::addColumn<int>("requests");
        QTest::newRow("GPT-6: set reasoning_effort to 'none'")
            << ProviderReplay("openai").error("reasoningEffortWithTools").chunks.join() << 2;
        // Older models refuse the member itself (https://github.com/livekit/agents/issues/5084).
        QTest::newRow("GPT-5.4: use /v1/responses")
            << QByteArray(R"({"error":{"message":"Function tools with reasoning_effort are not )"
                          R"(supported for gpt-5.4 in /v1/chat/completions. Please use )"
                          R"(/v1/responses instead.","type":"invalid_request_error",)"
                          R"("param":"reasoning_effort"}})")
            << 1;
        // Names "none" among the values, asks for nothing
        // (https://github.com/livekit/agents/pull/7169).
        QTest::newRow("an unsupported value")
            << QByteArray(R"({"error":{"message":"Unsupported value: 'reasoning_effort' does not )"
                          R"(support 'minimal' with this model. Supported values are: 'none', )"
                          R"('low', 'medium', 'high', 'xhigh'.","param":"reasoning_effort"}})")
            << 1;
    }
    void onlyARefusalThatAsksForNoReasoningIsSentAgain() {
        QFETCH(QByteArray, refusal);
        QFETCH(int, requests);
        m_server.enqueue(FakeResponse::text(400, refusal, "application/json"));
        m_server.enqueue(FakeOpenAIServer::chatReply("ok"));
        m_service.setModel(QStringLiteral("gpt-6-luna-%1").arg(QTest::currentDataTag()));
        const int before = m_server.requests().size();
        QCOMPARE(finished(m_service.sendChat(conversation())).ok(), requests == 2);
        QCOMPARE(m_server.requests().size(), before + requests);
        const QJsonObject first = m_server.requests().at(before).json();
        const QJsonObject last = m_server.lastRequest().json();
        QVERIFY(!first.contains("reasoning_effort"));
        QCOMPARE(last.value("messages"), first.value("messages"));
        QCOMPARE(last.value("reasoning_effort").toString(), requests == 2 ? "none" : QString());
        if (requests == 1) {
            QVERIFY(finished(m_service.sendChat(conversation())).ok()); // the queued reply
        }
    }

    void noReasoningIsKeptForTheBaseUrlAndModelThatAskedForIt() {
        ProviderReplayServer first("openai");
        ProviderReplayServer second("openai");
        m_service.setBaseURL(first.baseUrl());
        m_service.setModel("gpt-6-luna");
        const auto send = [this](ProviderReplayServer& server, int requests) {
            const int before = server.requests().size();
            QVERIFY(finished(m_service.sendChat(conversation())).ok());
            QCOMPARE(server.requests().size() - before, requests);
        };
        send(first, 2); // refused, then sent again
        send(first, 1);
        m_service.setModel("gpt-6.2-sol");
        send(first, 2);
        m_service.setBaseURL(second.baseUrl());
        send(second, 2);
        // A stop while it is sent again cancels.
        m_service.setModel("gpt-6.3-new");
        first.enqueue("POST", "/v1/chat/completions",
                      ProviderReplay("openai").error("reasoningEffortWithTools"));
        first.enqueue("POST", "/v1/chat/completions", FakeResponse::silence());
        m_service.setBaseURL(first.baseUrl());
        auto cancellation = std::make_shared<RequestCancellation>();
        const int before = first.requests().size();
        const auto outcome = startTask(m_service.sendChat(conversation(), cancellation));
        QTRY_COMPARE(first.requests().size(), before + 2);
        cancellation->cancel();
        QTRY_VERIFY(outcome->has_value());
        QVERIFY(isCancellation((*outcome)->error()));
    }
};

QTEST_GUILESS_MAIN(CloudAPIServiceTest)
#include "tst_cloud_api_service.moc"
