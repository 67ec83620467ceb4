// Both model clients, chat completions and Ollama, against scripted servers on
// localhost and against what providers answer today (the replays in
// tests/data/providers; the tables in tests/data/models, one file per client).
// The round trip of tool calls with each provider's own members runs end to end
// in tst_chat_cli.

#include "models/cloud_api_service.h"
#include "models/cloud_protocol.h"
#include "models/http_exchange.h"
#include "models/local_llm_service.h"
#include "tools/tool_catalogue.h"

#include "model_fixture.h"
#include "support/provider_replay_server.h"
#include "support/task_outcome.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QtTest>

namespace {

const QString key = "sk-test-0123456789";
const QString table = "models/cloud.json";
const QStringList localTable{"models/local.json"};

WireMessages conversation() {
    return requestMessages("conversation");
}

} // namespace

class ModelClientsTest : public QObject {
    Q_OBJECT

    FakeOpenAIServer m_server;
    CloudAPIService m_service{m_server.baseUrl(), key, "grok-3-mini"};
    FakeOllamaServer m_ollama;
    LocalLLMService m_local{m_ollama.baseUrl()};

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
        server.enqueue(cloud ? FakeOpenAIServer::streamedText({"x"})
                             : FakeOllamaServer::streamedText({}));
        const WireMessages messages = requestMessages(qPrintable(row.value("messages").toString()));
        const int before = server.requests().size();
        QVERIFY(finished(service(row).sendChat(messages)).ok());
        StreamRecorder stream(service(row).streamChat(messages));
        QTRY_COMPARE(stream.finishes, 1);
        for (bool streamed : {false, true}) {
            const RecordedRequest request = server.requests().at(before + streamed);
            QCOMPARE(request.method + ' ' + request.path, row.value("request").toString());
            QCOMPARE(request.header("Content-Type"), "application/json");
            QCOMPARE(request.header("Authorization"), row.value("authorization").toString().toUtf8());
            QJsonObject expected = row.value("body").toObject();
            expected.insert("stream", streamed);
            if (!streamed) {
                expected.insert("tools", toolDefinitions());
            }
            QCOMPARE(request.json(), expected);
        }
        QCOMPARE(LocalLLMService().ollamaBase(), "http://127.0.0.1:11434");
    }

    void answersAreRead_data() { addJsonRows(table, "answers", localTable); }
    void answersAreRead() {
        QFETCH(QJsonObject, row);
        const QJsonValue message = row.value("message");
        const QJsonObject wrapped =
            row.value("file") == "local"
                ? QJsonObject{{"message", message}, {"done", true}}
                : QJsonObject{
                      {"choices", QJsonArray{QJsonObject{{"index", 0}, {"message", message}}}}};
        server(row).enqueue(row.contains("message") ? FakeResponse::json(200, wrapped)
                                                    : responseFrom(row));
        expectReplyOfRow(finished(service(row).sendChat({})), row);
    }

    void missingIdsAreOursAndDistinct() {
        QJsonObject call = FakeOpenAIServer::toolCall("", "read_file", "{}");
        call.remove("id");
        const QList<NativeToolCall> calls = decodeCloudToolCalls(QJsonArray{call, call});
        QVERIFY(calls[0].id.startsWith("call_") && calls[0].id.size() == 29);
        QVERIFY(calls[0].id != calls[1].id);
    }

    void bodyThatIsNotJsonGivesTheParsersWords() {
        const QByteArray body = "{\"choices\": [";
        m_server.enqueue(FakeResponse::text(200, body, "application/json"));
        const Result<ModelReply> reply = finished(m_service.sendChat({}));
        QJsonParseError parserSays{};
        QJsonDocument::fromJson(body, &parserSays);
        QCOMPARE(reply.error(), ModelError(PlatformError{PlatformError::Case::invalidJson,
                                                         parserSays.errorString()}));
    }

    void unreachableOrInvalidBases_data() {
        QTest::addColumn<bool>("local");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("description");
        FakeHttpServer closed;
        closed.stopListening();
        QTest::newRow("refused") << false << closed.baseUrl() + "/v1"
                                 << "Connection refused";
        for (const char* base : {"", "not a url", "https://", "ftp://example.com/v1",
                                 "https://example.com:99999/v1"}) {
            QTest::newRow(base) << false << QString(base) << PlatformError::invalidBaseURL().text;
        }
        QTest::newRow("local: refused") << true << closed.baseUrl() << "Connection refused";
        QTest::newRow("local: no scheme") << true << "127.0.0.1:11434"
                                          << "Text generation failed";
    }
    void unreachableOrInvalidBases() {
        QFETCH(bool, local);
        QFETCH(QString, base);
        QFETCH(QString, description);
        m_service.setBaseURL(base);
        LocalLLMService localService(base);
        expectUnusable(local ? static_cast<AIServiceProtocol&>(localService) : m_service,
                       description);
    }

    void cancellationAndTimeout() {
        m_server.enqueue(FakeResponse::silence());
        expectCancelledAfter(m_service, {}, m_server, 1);
        m_ollama.enqueue(FakeResponse::silence());
        expectCancelledAfter(m_local, {}, m_ollama, 1);
        // A request started after the cancel fails at once, without a connection.
        auto cancelled = std::make_shared<RequestCancellation>();
        cancelled->cancel();
        const int connections = m_server.connectionCount();
        QVERIFY(isCancellation(finished(m_service.sendChat({}, cancelled)).error()));
        QCOMPARE(m_server.connectionCount(), connections);
        // A timeout is not reported as a cancellation.
        m_server.enqueue(FakeResponse::silence());
        QNetworkAccessManager network;
        const auto answer = finished(exchange(
            &network, makeRequest(QUrl(m_server.baseUrl()), std::chrono::milliseconds(200)), "GET",
            {}, std::make_shared<RequestCancellation>()));
        QCOMPARE(answer.error(), ModelError(PlatformError::timedOut()));
    }

    // How the lines are read is the line tests' business; here what the client
    // does with a whole stream and at its ends.
    void streams_data() { addJsonRows(table, "streams", localTable); }
    void streams() {
        QFETCH(QJsonObject, row);
        server(row).enqueue(responseFrom(row));
        expectStreamOfRow(service(row).streamChat({}), row);
    }

    void streamBrokenOffKeepsItsPiecesAndFails() {
        // Content-Length promises more than is sent before the connection closes:
        // not a whole answer, whether or not Qt notices.
        m_server.enqueue(FakeResponse::streamed(200,
                                                {"data: {\"choices\":[{\"delta\":{\"content\":"
                                                 "\"kept\"}}]}\n\n"},
                                                10, "text/event-stream")
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

    // The local probe looks for a Qwen model among the installed ones.
    void probeAnswers_data() { addJsonRows(table, "probes", localTable); }
    void probeAnswers() {
        QFETCH(QJsonObject, row);
        const bool local = row.value("file") == "local";
        server(row).enqueue(responseFrom(row));
        QCOMPARE(finished(service(row).checkAvailability()), row.value("available").toBool());
        const RecordedRequest request = server(row).lastRequest();
        QCOMPARE(request.method + ' ' + request.path, local ? "GET /api/tags" : "GET /v1/models");
        QCOMPARE(request.header("Authorization"), local ? QByteArray() : "Bearer " + key.toUtf8());
    }

    // Listing works end to end in tst_chat_cli; here the redirects and the missing key.
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
        QCOMPARE(errorDescription(finished(m_service.listModels()).error()), "No API key is set");
        QCOMPARE(m_server.connectionCount(), connections);
    }

    void onlyARefusalThatAsksForNoReasoningIsSentAgain_data() { addJsonRows(table, "refusals"); }
    void onlyARefusalThatAsksForNoReasoningIsSentAgain() {
        QFETCH(QJsonObject, row);
        const int requests = row.value("requests").toInt();
        m_server.enqueue(responseFrom(row));
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

    // That it is kept for the model that asked runs end to end in tst_chat_cli.
    void noReasoningIsAskedForAgainByEachBaseUrlAndModel() {
        ProviderReplayServer first("openai");
        ProviderReplayServer second("openai");
        const auto send = [this](ProviderReplayServer& server, const char* model) {
            m_service.setBaseURL(server.baseUrl());
            m_service.setModel(model);
            const int before = server.requests().size();
            QVERIFY(finished(m_service.sendChat(conversation())).ok());
            QCOMPARE(server.requests().size() - before, 2); // refused, then sent again
        };
        send(first, "gpt-6-luna");
        send(first, "gpt-6.2-sol");
        send(second, "gpt-6-luna");
        // A stop while it is sent again cancels.
        m_service.setModel("gpt-6.1-terra");
        first.enqueue("POST", "/v1/chat/completions",
                      ProviderReplay("openai").error("reasoningEffortWithTools"));
        first.enqueue("POST", "/v1/chat/completions", FakeResponse::silence());
        m_service.setBaseURL(first.baseUrl());
        expectCancelledAfter(m_service, conversation(), first, 2);
    }
};

QTEST_GUILESS_MAIN(ModelClientsTest)
#include "tst_model_clients.moc"
