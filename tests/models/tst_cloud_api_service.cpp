// The chat-completions client against a scripted provider on localhost.

#include "models/cloud_api_service.h"
#include "models/http_exchange.h"
#include "tools/tool_catalogue.h"

#include "stream_recorder.h"
#include "support/fake_http_server.h"
#include "support/task_outcome.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(FakeResponse)
Q_DECLARE_METATYPE(ModelReply)

namespace {

const QString key = QStringLiteral("sk-test-0123456789");
const QString model = QStringLiteral("grok-3-mini");

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

QStringList sortedKeys(const QJsonObject& object) {
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

Result<ModelReply> sendAndWait(CloudAPIService& service, WireMessages messages = {}) {
    const auto outcome = startTask(service.sendChat(std::move(messages)));
    if (!QTest::qWaitFor([&] { return outcome->has_value(); }, 10000)) {
        qFatal("sendChat never finished");
    }
    return **outcome;
}

QByteArray sseEvent(const QByteArray& content) {
    return R"(data: {"choices":[{"index":0,"delta":{"content":")" + content + R"("}}]})";
}

// A port on which nothing listens.
quint16 closedPort() {
    FakeHttpServer server;
    const quint16 port = server.port();
    server.stopListening();
    return port;
}

} // namespace

class CloudAPIServiceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oneShotRequestHasExactlyTheDocumentedShape() {
        FakeOpenAIServer server;
        server.enqueue(FakeOpenAIServer::chatReply(QStringLiteral("ok")));
        CloudAPIService service(server.baseUrl(), key, model);
        QVERIFY(sendAndWait(service, conversation()).ok());

        QCOMPARE(server.requests().size(), 1);
        const RecordedRequest request = server.lastRequest();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path, QStringLiteral("/v1/chat/completions"));
        QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(request.header("Authorization"), "Bearer " + key.toUtf8());
        // Compact, not pretty-printed.
        QVERIFY(!request.body.contains('\n'));
        const QJsonObject body = request.json();
        QCOMPARE(sortedKeys(body), (QStringList{"messages", "model", "stream", "tools"}));
        QCOMPARE(body.value("model").toString(), model);
        QCOMPARE(body.value("messages").toArray(), conversation());
        QCOMPARE(body.value("stream"), QJsonValue(false));
        QCOMPARE(body.value("tools").toArray(), toolDefinitions());
        // The null content of a tool-calling turn goes out as null.
        QVERIFY(body.value("messages")[2].toObject().value("content").isNull());
    }

    void settingsAreReadWhenEachRequestIsBuilt() {
        FakeOpenAIServer first;
        FakeOpenAIServer second;
        second.enqueue(FakeOpenAIServer::chatReply(QStringLiteral("ok")));
        second.enqueue(FakeOpenAIServer::streamedText({}));
        CloudAPIService service(first.baseUrl(), key, model);
        // A base ending in "/" is concatenated as is.
        service.setBaseURL(second.baseUrl() + QLatin1Char('/'));
        service.setApiKey(QStringLiteral("sk-other"));
        service.setModel(QStringLiteral("deepseek-chat"));
        QVERIFY(sendAndWait(service).ok());
        StreamRecorder stream(service.streamChat({}));
        QTRY_VERIFY(stream.ended());

        QCOMPARE(first.requests().size(), 0);
        QCOMPARE(second.requests().size(), 2);
        for (const RecordedRequest& request : second.requests()) {
            QCOMPARE(request.path, QStringLiteral("/v1//chat/completions"));
            QCOMPARE(request.header("Authorization"), QByteArray("Bearer sk-other"));
            QCOMPARE(request.json().value("model").toString(), QStringLiteral("deepseek-chat"));
        }
    }

    void streamedRequestCarriesNoTools() {
        FakeOpenAIServer server;
        server.enqueue(FakeOpenAIServer::streamedText({QStringLiteral("x")}));
        CloudAPIService service(server.baseUrl(), key, model);
        StreamRecorder stream(service.streamChat(conversation()));
        QTRY_COMPARE(stream.finishes, 1);

        const RecordedRequest request = server.lastRequest();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path, QStringLiteral("/v1/chat/completions"));
        QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(request.header("Authorization"), "Bearer " + key.toUtf8());
        const QJsonObject body = request.json();
        QCOMPARE(sortedKeys(body), (QStringList{"messages", "model", "stream"}));
        QCOMPARE(body.value("stream"), QJsonValue(true));
        QCOMPARE(body.value("messages").toArray(), conversation());
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
        FakeOpenAIServer server;
        server.enqueue(FakeResponse::json(
            200, {{"choices", QJsonArray{QJsonObject{{"index", 0}, {"message", message}}}}}));
        CloudAPIService service(server.baseUrl(), key, model);
        const Result<ModelReply> reply = sendAndWait(service);
        QVERIFY(reply.ok());
        QCOMPARE(reply.value(), expected);
    }

    void failuresBecomeTheirErrors_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<QString>("description");
        const QByteArray unauthorized = R"({"error":{"message":"Incorrect API key provided"}})";
        QTest::newRow("401 with a json body")
            << FakeResponse::text(401, unauthorized, "application/json")
            << QStringLiteral("API error: ") + QString::fromUtf8(unauthorized);
        const QByteArray long500 = QByteArray(150, 'a') + QByteArray(350, 'b');
        QTest::newRow("500-character body cut to 200")
            << FakeResponse::text(500, long500)
            << QStringLiteral("API error: ") + QString(150, 'a') + QString(50, 'b');
        QTest::newRow("non-utf-8 error body") << FakeResponse::text(502, "\xff\xfe\x80 bad")
                                              << QStringLiteral("Cloud API returned an error");
        // Nothing to quote: the status says what happened.
        QTest::newRow("empty 404 body")
            << FakeResponse::text(404, "") << QStringLiteral("API error: HTTP 404 Not Found");
        QTest::newRow("blank 503 body")
            << FakeResponse::text(503, "\n \n")
            << QStringLiteral("API error: HTTP 503 Service Unavailable");
        FakeResponse created = FakeOpenAIServer::chatReply("hi");
        created.status = 201;
        QTest::newRow("201 is not 200")
            << created << QStringLiteral("API error: ") + QString::fromUtf8(created.chunks.first());
        QTest::newRow("missing choices") << FakeResponse::json(200, {{"id", "x"}})
                                         << QStringLiteral("Cloud API returned an error");
        QTest::newRow("empty choices") << FakeResponse::json(200, {{"choices", QJsonArray{}}})
                                       << QStringLiteral("Cloud API returned an error");
        QTest::newRow("message not an object")
            << FakeResponse::json(200, {{"choices", QJsonArray{QJsonObject{{"message", "hi"}}}}})
            << QStringLiteral("Cloud API returned an error");
        QTest::newRow("top level an array")
            << FakeResponse::text(200, "[{\"choices\":[]}]", "application/json")
            << QStringLiteral("Cloud API returned an error");
        QTest::newRow("key echoed back is masked")
            << FakeResponse::text(401, "bad key " + key.toUtf8())
            << QStringLiteral("API error: bad key [API key]");
    }
    void failuresBecomeTheirErrors() {
        QFETCH(FakeResponse, response);
        QFETCH(QString, description);
        FakeOpenAIServer server;
        server.enqueue(response);
        CloudAPIService service(server.baseUrl(), key, model);
        const Result<ModelReply> reply = sendAndWait(service);
        QVERIFY(!reply.ok());
        QCOMPARE(errorDescription(reply.error()), description);
        QVERIFY(!errorDescription(reply.error()).contains(key));
    }

    void bodyThatIsNotJsonGivesTheParsersWords() {
        FakeOpenAIServer server;
        const QByteArray body = "{\"choices\": [";
        server.enqueue(FakeResponse::text(200, body, "application/json"));
        CloudAPIService service(server.baseUrl(), key, model);
        const Result<ModelReply> reply = sendAndWait(service);
        QVERIFY(!reply.ok());
        const auto* error = std::get_if<PlatformError>(&reply.error());
        QVERIFY(error != nullptr);
        QCOMPARE(error->kind, PlatformError::Case::invalidJson);
        QJsonParseError parserSays{};
        QJsonDocument::fromJson(body, &parserSays);
        QCOMPARE(error->text, parserSays.errorString());
    }

    void refusedConnectionGivesQtsDescription() {
        CloudAPIService service(QStringLiteral("http://127.0.0.1:%1/v1").arg(closedPort()), key,
                                model);
        const Result<ModelReply> reply = sendAndWait(service);
        QVERIFY(!reply.ok());
        QCOMPARE(errorDescription(reply.error()), QStringLiteral("Connection refused"));
        StreamRecorder stream(service.streamChat({}));
        QTRY_COMPARE(stream.failures, QStringList{QStringLiteral("Connection refused")});
        QVERIFY(stream.pieces.isEmpty());
    }

    void invalidBaseUrlFailsWithoutNetwork_data() {
        QTest::addColumn<QString>("base");
        QTest::newRow("empty") << QString();
        QTest::newRow("words") << QStringLiteral("not a url");
        QTest::newRow("no host") << QStringLiteral("https://");
        QTest::newRow("other scheme") << QStringLiteral("ftp://example.com/v1");
        QTest::newRow("bad port") << QStringLiteral("https://example.com:99999/v1");
    }
    void invalidBaseUrlFailsWithoutNetwork() {
        QFETCH(QString, base);
        CloudAPIService service(base, key, model);
        const Result<ModelReply> reply = sendAndWait(service);
        QVERIFY(!reply.ok());
        QCOMPARE(reply.error(), ModelError(PlatformError::invalidBaseURL()));

        StreamRecorder stream(service.streamChat({}));
        QVERIFY2(!stream.ended(), "the stream must not end inside streamChat");
        QTRY_COMPARE(stream.failures, QStringList{PlatformError::invalidBaseURL().text});

        const auto available = startTask(service.checkAvailability());
        QTRY_VERIFY(available->has_value());
        QCOMPARE(**available, false);
    }

    void cancellingAnOutstandingRequestEndsItWithTheCancellation() {
        FakeOpenAIServer server;
        server.enqueue(FakeResponse::silence());
        CloudAPIService service(server.baseUrl(), key, model);
        auto cancellation = std::make_shared<RequestCancellation>();
        const auto outcome = startTask(service.sendChat({}, cancellation));
        QTRY_COMPARE(server.requests().size(), 1);
        QVERIFY(!outcome->has_value());
        cancellation->cancel();
        QTRY_VERIFY(outcome->has_value());
        const Result<ModelReply>& reply = **outcome;
        QVERIFY(!reply.ok());
        QVERIFY(isCancellation(reply.error()));
        QCOMPARE(errorDescription(reply.error()), QStringLiteral("Operation canceled"));
    }

    void requestStartedAfterCancelFailsAtOnce() {
        FakeOpenAIServer server;
        CloudAPIService service(server.baseUrl(), key, model);
        auto cancellation = std::make_shared<RequestCancellation>();
        cancellation->cancel();
        const auto outcome = startTask(service.sendChat({}, cancellation));
        QVERIFY(outcome->has_value());
        QVERIFY(isCancellation((*outcome)->error()));
        QCOMPARE(errorDescription((*outcome)->error()), QStringLiteral("Operation canceled"));
        QCOMPARE(server.connectionCount(), 0);
    }

    void timeoutIsNotReportedAsCancellation() {
        FakeHttpServer server;
        server.enqueue(FakeResponse::silence());
        QNetworkAccessManager network;
        auto cancellation = std::make_shared<RequestCancellation>();
        const auto outcome = startTask(
            exchange(&network, makeRequest(QUrl(server.baseUrl()), std::chrono::milliseconds(200)),
                     "GET", {}, cancellation));
        QTRY_VERIFY(outcome->has_value());
        QVERIFY(!(*outcome)->ok());
        QCOMPARE((*outcome)->error(), ModelError(PlatformError::timedOut()));
    }

    void streamDeliversPiecesInOrder() {
        FakeOpenAIServer server;
        server.enqueue(FakeOpenAIServer::streamedText({"Hel", "lo", ", ", "world"}, 10));
        CloudAPIService service(server.baseUrl(), key, model);
        StreamRecorder stream(service.streamChat(conversation()));
        QVERIFY(!stream.ended());
        QTRY_COMPARE(stream.finishes, 1);
        QCOMPARE(stream.pieces, (QStringList{"Hel", "lo", ", ", "world"}));
        QVERIFY(stream.failures.isEmpty());
        // The ended stream deletes itself.
        QTRY_VERIFY(stream.stream.isNull());
    }

    void streamsAsProvidersSendThem_data() {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("done with spaces ends reading")
            << QByteArrayList{sseEvent("a") + "\n\n", "   data: [DONE]   \n\n",
                              sseEvent("after") + "\n\n"}
            << QStringList{"a"};
        QTest::newRow("data: without space ignored")
            << QByteArrayList{R"(data:{"choices":[{"delta":{"content":"x"}}]})"
                              "\n\n",
                              sseEvent("y") + "\n\n"}
            << QStringList{"y"};
        QTest::newRow("body ends without done")
            << QByteArrayList{sseEvent("one") + "\n\n", sseEvent("two")}
            << QStringList{"one", "two"};
        const QByteArray split = sseEvent("\xe4\xbd\xa0\xe5\xa5\xbd") + "\n\n";
        QTest::newRow("line and character split across reads")
            << QByteArrayList{split.left(20), split.mid(20, split.indexOf('\xbd') - 20),
                              split.mid(split.indexOf('\xbd')), "data: [DONE]\n\n"}
            << QStringList{"你好"};
        QTest::newRow("crlf, comments, events, usage chunk")
            << QByteArrayList{": keep-alive\r\n\r\n",
                              "event: delta\r\n" + sseEvent("A") + "\r\n\r\n",
                              R"(data: {"choices":[],"usage":{"total_tokens":3}})"
                              "\r\n\r\n",
                              "data: [DONE]\r\n\r\n"}
            << QStringList{"A"};
        QTest::newRow("no text at all") << QByteArrayList{"data: [DONE]\n\n"} << QStringList{};
    }
    void streamsAsProvidersSendThem() {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QStringList, pieces);
        FakeOpenAIServer server;
        server.enqueue(FakeResponse::streamed(200, chunks, 15, "text/event-stream"));
        CloudAPIService service(server.baseUrl(), key, model);
        StreamRecorder stream(service.streamChat({}));
        QTRY_COMPARE(stream.finishes, 1);
        QCOMPARE(stream.pieces, pieces);
        QVERIFY(stream.failures.isEmpty());
    }

    void streamAnsweredWithAnErrorStatusDeliversNothing() {
        FakeOpenAIServer server;
        server.enqueue(
            FakeResponse::streamed(500, {sseEvent("leak") + "\n\n"}, 0, "text/event-stream"));
        CloudAPIService service(server.baseUrl(), key, model);
        StreamRecorder stream(service.streamChat({}));
        QTRY_COMPARE(stream.failures, QStringList{QStringLiteral("Cloud API returned an error")});
        QVERIFY(stream.pieces.isEmpty());
        QCOMPARE(stream.finishes, 0);
    }

    void streamBrokenOffKeepsItsPiecesAndFails() {
        // Content-Length promises more than is sent before the connection closes.
        FakeOpenAIServer server;
        server.enqueue(
            FakeResponse::streamed(200, {sseEvent("kept") + "\n\n"}, 10, "text/event-stream")
                .withHeader("Content-Length", "10000"));
        CloudAPIService service(server.baseUrl(), key, model);
        StreamRecorder stream(service.streamChat({}));
        QTRY_COMPARE(stream.failures.size(), 1);
        QCOMPARE(stream.pieces, QStringList{"kept"});
        QCOMPARE(stream.finishes, 0);
        QVERIFY(!stream.failures.first().isEmpty());
    }

    void streamOfADestroyedServiceStillEnds() {
        FakeOpenAIServer server;
        server.enqueue(FakeResponse::silence());
        auto* service = new CloudAPIService(server.baseUrl(), key, model);
        StreamRecorder stream(service->streamChat({}));
        QTRY_COMPARE(server.requests().size(), 1);
        delete service;
        QTRY_COMPARE(stream.failures, QStringList{QStringLiteral("Operation canceled")});
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
        FakeOpenAIServer server;
        server.enqueue(response);
        CloudAPIService service(server.baseUrl(), key, model);
        const auto probe = startTask(service.checkAvailability());
        QTRY_VERIFY(probe->has_value());
        QCOMPARE(**probe, available);
        const RecordedRequest request = server.lastRequest();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.path, QStringLiteral("/v1/models"));
        QCOMPARE(request.header("Authorization"), "Bearer " + key.toUtf8());
    }

    void probeFollowsRedirectsToTheFinalStatus() {
        FakeOpenAIServer server;
        server.enqueue("GET", "/v1/models",
                       FakeResponse::text(302, "").withHeader("Location", "/v1/elsewhere"));
        server.enqueue("GET", "/v1/elsewhere", FakeResponse::text(401, ""));
        CloudAPIService service(server.baseUrl(), key, model);
        const auto probe = startTask(service.checkAvailability());
        QTRY_VERIFY(probe->has_value());
        QCOMPARE(**probe, false);
        QCOMPARE(server.requests().size(), 2);
    }

    void probeWithoutKeyOrServerIsFalse() {
        FakeOpenAIServer server;
        CloudAPIService keyless(server.baseUrl(), QString(), model);
        const auto withoutKey = startTask(keyless.checkAvailability());
        QVERIFY(withoutKey->has_value());
        QCOMPARE(**withoutKey, false);
        QCOMPARE(server.connectionCount(), 0);

        CloudAPIService nobody(QStringLiteral("http://127.0.0.1:%1/v1").arg(closedPort()), key,
                               model);
        const auto refused = startTask(nobody.checkAvailability());
        QTRY_VERIFY(refused->has_value());
        QCOMPARE(**refused, false);
    }
};

QTEST_GUILESS_MAIN(CloudAPIServiceTest)
#include "tst_cloud_api_service.moc"
