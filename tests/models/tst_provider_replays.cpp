// The model clients against what providers answer today (the replays in
// tests/data/providers): streams with keep-alives, usage chunks and error
// objects, error bodies, model lists, Ollama's native tool calls, OpenAI's
// refusal of tools without reasoning_effort "none". The round
// trip of tool calls with each provider's own members runs end to end in
// tst_chat_cli.

#include "models/cloud_api_service.h"
#include "models/cloud_protocol.h"
#include "models/local_llm_service.h"
#include "models/ollama_protocol.h"

#include "stream_recorder.h"
#include "support/provider_replay_server.h"
#include "support/task_outcome.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

namespace {

const QString key = QStringLiteral("sk-replay-0123456789");

template <typename Service>
Result<ModelReply> sendAndWait(Service& service, WireMessages messages = {}) {
    const auto outcome = startTask(service.sendChat(std::move(messages)));
    if (!QTest::qWaitFor([&] { return outcome->has_value(); }, 10000)) {
        qFatal("sendChat never finished");
    }
    return **outcome;
}

WireMessages question() {
    return {QJsonObject{{"role", "user"}, {"content", "What is in the root folder?"}}};
}

} // namespace

class ProviderReplaysTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missingIdsAreOursAndDistinct() {
        QJsonObject call{{"type", "function"},
                         {"function", QJsonObject{{"name", "read_file"}, {"arguments", "{}"}}}};
        const QList<NativeToolCall> calls = decodeCloudToolCalls(QJsonArray{call, call});
        QCOMPARE(calls.size(), 2);
        QVERIFY(calls[0].id.startsWith("call_") && calls[0].id.size() == 29);
        QVERIFY(calls[0].id != calls[1].id);
    }

    void streamsReadAsTheyCome_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("section");
        QTest::newRow("gemini: extra_content in a delta") << "gemini"
                                                          << "stream";
        QTest::newRow("deepseek: keep-alives and reasoning deltas") << "deepseek"
                                                                    << "stream";
        QTest::newRow("openai: usage-only chunk") << "openai"
                                                  << "stream";
        QTest::newRow("openai: an error object after text") << "openai"
                                                            << "streamError";
        QTest::newRow("ollama: an error line after text") << "ollama"
                                                          << "streamError";
    }
    void streamsReadAsTheyCome() {
        QFETCH(QString, name);
        QFETCH(QString, section);
        const ProviderReplay replay(name);
        FakeOpenAIServer cloud;
        FakeOllamaServer local;
        cloud.enqueue(replay.stream(section));
        local.enqueue(replay.stream(section));
        CloudAPIService cloudService(cloud.baseUrl(), key, QStringLiteral("m"));
        LocalLLMService localService(local.baseUrl());
        StreamRecorder stream(name == "ollama" ? localService.streamChat(question())
                                               : cloudService.streamChat(question()));
        QTRY_VERIFY(stream.ended());
        QCOMPARE(stream.pieces.join(QString()), replay.streamText(section));
        const QString error = replay.streamError(section);
        QCOMPARE(stream.failures, error.isEmpty() ? QStringList() : QStringList{error});
        QCOMPARE(stream.finishes, error.isEmpty() ? 1 : 0);
    }

    void aStreamedErrorNeverShowsTheKey() {
        FakeOpenAIServer server;
        server.enqueue(FakeResponse::sse(
            {"{\"error\":{\"message\":\"Incorrect API key provided: " + key + "\"}}"}));
        CloudAPIService service(server.baseUrl(), key, QStringLiteral("m"));
        StreamRecorder stream(service.streamChat(question()));
        QTRY_COMPARE(stream.failures,
                     QStringList{"API error: Incorrect API key provided: [API key]"});
    }

    void refusalsReadAsTheProviderWroteThem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("description");
        QTest::newRow("gemini: a JSON array") << "gemini"
                                              << "missingThoughtSignature"
                                              << "API error: [{\"error\":{\"code\":400,";
        QTest::newRow("deepseek: retired model") << "deepseek"
                                                 << "modelNotFound"
                                                 << "API error: {\"error\":{\"code\":";
        QTest::newRow("openai: an empty 503") << "openai"
                                              << "serviceUnavailable"
                                              << "API error: HTTP 503 Service Unavailable";
    }
    void refusalsReadAsTheProviderWroteThem() {
        QFETCH(QString, name);
        QFETCH(QString, error);
        QFETCH(QString, description);
        const ProviderReplay replay(name);
        FakeOpenAIServer server;
        server.enqueue(replay.error(error));
        CloudAPIService service(server.baseUrl(), key, QStringLiteral("m"));
        const Result<ModelReply> reply = sendAndWait(service, question());
        QVERIFY(!reply.ok());
        QVERIFY2(errorDescription(reply.error()).startsWith(description),
                 qPrintable(errorDescription(reply.error())));
    }

    void onlyARefusalThatAsksForNoReasoningIsSentAgain_data() {
        QTest::addColumn<QByteArray>("refusal");
        QTest::addColumn<int>("requests");
        const ProviderReplay openai(QStringLiteral("openai"));
        QTest::newRow("GPT-6: set reasoning_effort to 'none'")
            << openai.error(QStringLiteral("reasoningEffortWithTools")).chunks.join() << 2;
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
        FakeOpenAIServer server;
        server.enqueue(FakeResponse::text(400, refusal, "application/json"));
        server.enqueue(FakeOpenAIServer::chatReply(QStringLiteral("ok")));
        CloudAPIService service(server.baseUrl(), key, QStringLiteral("gpt-6-luna"));
        const Result<ModelReply> reply = sendAndWait(service, question());
        QCOMPARE(reply.ok(), requests == 2);
        QCOMPARE(server.requests().size(), requests);
        const RecordedRequest first = server.requests().first();
        const RecordedRequest last = server.lastRequest();
        QVERIFY(!first.json().contains("reasoning_effort"));
        QCOMPARE(last.json().value("messages"), first.json().value("messages"));
        if (requests == 2) {
            QCOMPARE(last.json().value("reasoning_effort").toString(), QStringLiteral("none"));
        }
    }

    void noReasoningIsKeptForTheBaseUrlAndModelThatAskedForIt() {
        ProviderReplayServer first(QStringLiteral("openai"));
        ProviderReplayServer second(QStringLiteral("openai"));
        CloudAPIService service(first.baseUrl(), key, QStringLiteral("gpt-6-luna"));
        const auto send = [&service](ProviderReplayServer& server, int requests) {
            const int before = server.requests().size();
            QVERIFY(sendAndWait(service, question()).ok());
            QCOMPARE(server.requests().size() - before, requests);
        };
        send(first, 2); // refused, then sent again
        send(first, 1);
        service.setModel(QStringLiteral("gpt-6.2-sol"));
        send(first, 2);
        service.setBaseURL(second.baseUrl());
        send(second, 2);
    }

    void aStopWhileSentAgainCancels() {
        FakeOpenAIServer server;
        server.enqueue(ProviderReplay(QStringLiteral("openai"))
                           .error(QStringLiteral("reasoningEffortWithTools")));
        server.enqueue(FakeResponse::silence());
        CloudAPIService service(server.baseUrl(), key, QStringLiteral("gpt-6-luna"));
        auto cancellation = std::make_shared<RequestCancellation>();
        const auto outcome = startTask(service.sendChat(question(), cancellation));
        QTRY_COMPARE(server.requests().size(), 2);
        cancellation->cancel();
        QTRY_VERIFY(outcome->has_value());
        QVERIFY(isCancellation((*outcome)->error()));
    }

    void modelListsAndWhyOneIsMissing() {
        ProviderReplayServer server(QStringLiteral("gemini"));
        CloudAPIService service(server.baseUrl(), key, QStringLiteral("m"));
        const auto listed = startTask(service.listModels());
        QTRY_VERIFY(listed->has_value());
        QVERIFY((*listed)->ok());
        QCOMPARE((*listed)->value(), server.replay().modelIds());
        QCOMPARE(server.lastRequest().header("authorization"), "Bearer " + key.toUtf8());

        server.setStandingResponse("GET", QStringLiteral("/v1/models"),
                                   FakeResponse::text(401, "Incorrect API key"));
        const auto refused = startTask(service.listModels());
        QTRY_VERIFY(refused->has_value());
        QCOMPARE(errorDescription((*refused)->error()),
                 QStringLiteral("API error: Incorrect API key"));

        service.setApiKey(QString());
        const int requests = server.requests().size();
        const auto keyless = startTask(service.listModels());
        QTRY_VERIFY(keyless->has_value());
        QCOMPARE(errorDescription((*keyless)->error()), QStringLiteral("No API key is set"));
        QCOMPARE(server.requests().size(), requests);
    }

    void ollamaNativeCallsComeBeforeTextBlocks() {
        const auto call = [](const char* name, const QJsonValue& arguments) {
            return QJsonObject{{"function", QJsonObject{{"name", name}, {"arguments", arguments}}}};
        };
        const QJsonObject message{
            {"role", "assistant"},
            {"content", "I will look.\n<tool_call>{\"name\": \"read_file\", \"arguments\": "
                        "{\"path\": \"a\"}}</tool_call>"},
            {"tool_calls",
             QJsonArray{call("run_command", QJsonObject{{"command", "ls"}, {"timeout", 5}}),
                        call("", QJsonObject{}), // no name: skipped
                        call("list_directory", "{\"path\":\"/\"}")}}};
        const QByteArray body =
            QJsonDocument(QJsonObject{{"message", message}, {"done", true}}).toJson();
        const Result<ModelReply> reply =
            decodeOllamaReply(HttpAnswer{200, body, {}}, QStringLiteral("qwen2.5:3b"));
        QVERIFY(reply.ok());
        QCOMPARE(reply.value().text, QStringLiteral("I will look."));
        QStringList names;
        for (const NativeToolCall& call : reply.value().toolCalls) {
            names << call.name;
        }
        QCOMPARE(names, (QStringList{"run_command", "list_directory", "read_file"}));
        QCOMPARE(reply.value().toolCalls[0].arguments,
                 (ToolArguments{{"command", "ls"}, {"timeout", "5"}}));
        QCOMPARE(reply.value().toolCalls[0].rawArguments,
                 QStringLiteral(R"({"command":"ls","timeout":5})"));
    }
};

QTEST_GUILESS_MAIN(ProviderReplaysTest)
#include "tst_provider_replays.moc"
