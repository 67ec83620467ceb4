// The Ollama client against a scripted Ollama server on localhost.

#include "models/local_llm_service.h"
#include "tools/tool_catalogue.h"

#include "stream_recorder.h"
#include "support/fake_http_server.h"
#include "support/task_outcome.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QtTest>

Q_DECLARE_METATYPE(FakeResponse)

namespace {

Result<ModelReply> sendAndWait(LocalLLMService& service, WireMessages messages = {}) {
    const auto outcome = startTask(service.sendChat(std::move(messages)));
    if (!QTest::qWaitFor([&] { return outcome->has_value(); }, 10000)) {
        qFatal("sendChat never finished");
    }
    return **outcome;
}

bool probe(LocalLLMService& service) {
    const auto outcome = startTask(service.checkAvailability());
    if (!QTest::qWaitFor([&] { return outcome->has_value(); }, 10000)) {
        qFatal("checkAvailability never finished");
    }
    return **outcome;
}

const QString toolBlock = QStringLiteral("<tool_call>{\"name\": \"read_file\", \"arguments\": "
                                         "{\"path\": \"~/notes.txt\", \"limit\": 5}}</tool_call>");

} // namespace

class LocalLLMServiceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void builtInValues() {
        const LocalLLMService service;
        QCOMPARE(service.ollamaBase(), QStringLiteral("http://127.0.0.1:11434"));
        QCOMPARE(service.modelName(), QStringLiteral("qwen2.5:3b"));
    }

    void requestBodyIsReducedAndExact() {
        FakeOllamaServer server;
        server.enqueue(FakeOllamaServer::chatReply(QStringLiteral("ok")));
        server.enqueue(FakeOllamaServer::streamedText({}));
        LocalLLMService service(server.baseUrl());
        const WireMessages messages{
            QJsonObject{{"role", "system"}, {"content", "You are Ember."}},
            QJsonObject{{"role", "user"}, {"content", "List my files"}},
            QJsonObject{{"role", "assistant"},
                        {"content", QJsonValue()},
                        {"tool_calls", QJsonArray{QJsonObject{{"id", "c"}}}}},
            QJsonObject{{"role", "tool"}, {"tool_call_id", "c"}, {"content", "a.txt"}},
            QJsonObject{{"role", "assistant"}, {"content", "Found a.txt"}, {"extra", 1}},
            QJsonObject{{"content", "no role"}},
            QJsonObject{{"role", "user"}, {"content", 7}}};
        QVERIFY(sendAndWait(service, messages).ok());
        StreamRecorder stream(service.streamChat(messages));
        QTRY_COMPARE(stream.finishes, 1);

        const QJsonArray reduced{QJsonObject{{"role", "system"}, {"content", "You are Ember."}},
                                 QJsonObject{{"role", "user"}, {"content", "List my files"}},
                                 QJsonObject{{"role", "user"}, {"content", "a.txt"}},
                                 QJsonObject{{"role", "assistant"}, {"content", "Found a.txt"}}};
        QCOMPARE(server.requests().size(), 2);
        for (bool streamed : {false, true}) {
            const RecordedRequest request = server.requests().at(streamed ? 1 : 0);
            QCOMPARE(request.method, QByteArray("POST"));
            QCOMPARE(request.path, QStringLiteral("/api/chat"));
            QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
            QJsonObject expected{
                {"model", "qwen2.5:3b"},
                {"messages", reduced},
                {"stream", streamed},
                {"options",
                 QJsonObject{{"temperature", 0.7}, {"top_p", 0.9}, {"num_predict", 2048}}}};
            // The one-shot request offers the tools, so that Ollama teaches the
            // model their call format; the phone's stream never runs tools.
            if (!streamed) {
                expected.insert("tools", toolDefinitions());
            }
            QCOMPARE(request.json(), expected);
            // Numbers, not strings; compact.
            QVERIFY(request.body.contains(R"("num_predict":2048)"));
            QVERIFY(request.body.contains(R"("temperature":0.7)"));
            QVERIFY(!request.body.contains('\n'));
        }
    }

    void repliesWithoutToolBlocksStayText_data() {
        QTest::addColumn<QString>("content");
        QTest::newRow("plain") << QStringLiteral("  Hello there  ");
        QTest::newRow("unclosed tag")
            << QStringLiteral("I will read it. <tool_call>{\"name\": \"read_file\"");
        QTest::newRow("only a closing tag") << QStringLiteral("odd </tool_call> text");
        QTest::newRow("empty") << QString();
    }
    void repliesWithoutToolBlocksStayText() {
        QFETCH(QString, content);
        FakeOllamaServer server;
        server.enqueue(FakeOllamaServer::chatReply(content));
        LocalLLMService service(server.baseUrl());
        const Result<ModelReply> reply = sendAndWait(service);
        QVERIFY(reply.ok());
        QCOMPARE(reply.value(), (ModelReply{content, {}}));
    }

    void toolBlocksBecomeNativeCalls() {
        FakeOllamaServer server;
        server.enqueue(FakeOllamaServer::chatReply(
            QStringLiteral("Let me look.\n") + toolBlock + QStringLiteral("\n") +
            QLatin1String(R"(<tool_call>{"name": "list_directory", "arguments": {}}</tool_call>)") +
            QStringLiteral("\nDone soon.")));
        LocalLLMService service(server.baseUrl());
        const Result<ModelReply> reply = sendAndWait(service);
        QVERIFY(reply.ok());
        QCOMPARE(reply.value().text, QStringLiteral("Let me look."));
        const QList<NativeToolCall> calls = reply.value().toolCalls;
        QCOMPARE(calls.size(), 2);
        const QRegularExpression idPattern(QStringLiteral("^local_[0-9A-F]{8}$"));
        for (const NativeToolCall& call : calls) {
            QCOMPARE(call.id.size(), 14);
            QVERIFY2(idPattern.match(call.id).hasMatch(), qPrintable(call.id));
        }
        QVERIFY(calls[0].id != calls[1].id);
        QCOMPARE(calls[0].name, QStringLiteral("read_file"));
        QCOMPARE(calls[0].arguments, (ToolArguments{{"path", "~/notes.txt"}, {"limit", "5"}}));
        QCOMPARE(calls[0].rawArguments, QLatin1String(R"({"limit":"5","path":"~/notes.txt"})"));
        QCOMPARE(calls[1].name, QStringLiteral("list_directory"));
        QCOMPARE(calls[1].rawArguments, QStringLiteral("{}"));
    }

    void failuresBecomeTheirErrors_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<QString>("description");
        const QString notRunning =
            QStringLiteral("Ollama is not running. Please start Ollama first.");
        const QString failed = QStringLiteral("Text generation failed");
        QTest::newRow("500") << FakeResponse::text(500, "boom") << notRunning;
        QTest::newRow("404 with a message")
            << FakeResponse::json(404, {{"message", QJsonObject{{"content", "x"}}}}) << notRunning;
        QTest::newRow("404 naming a missing model (older words)")
            << FakeResponse::json(
                   404, {{"error", R"(model "qwen2.5:3b" not found, try pulling it first)"}})
            << QStringLiteral(
                   "The local model qwen2.5:3b is not installed. Press SETUP LOCAL MODEL "
                   "or run: ollama pull qwen2.5:3b");
        QTest::newRow("not json") << FakeResponse::text(200, "<html>") << failed;
        QTest::newRow("array") << FakeResponse::text(200, "[]") << failed;
        QTest::newRow("no message") << FakeResponse::json(200, {{"done", true}}) << failed;
        QTest::newRow("message not an object")
            << FakeResponse::json(200, {{"message", "hi"}}) << failed;
        QTest::newRow("content not text")
            << FakeResponse::json(200, {{"message", QJsonObject{{"content", QJsonValue()}}}})
            << failed;
    }
    void failuresBecomeTheirErrors() {
        QFETCH(FakeResponse, response);
        QFETCH(QString, description);
        FakeOllamaServer server;
        server.enqueue(response);
        LocalLLMService service(server.baseUrl());
        const Result<ModelReply> reply = sendAndWait(service);
        QVERIFY(!reply.ok());
        QCOMPARE(errorDescription(reply.error()), description);
    }

    void unusableBaseOrServer() {
        LocalLLMService invalid(QStringLiteral("127.0.0.1:11434"));
        const Result<ModelReply> reply = sendAndWait(invalid);
        QCOMPARE(reply.error(), ModelError(LLMError{LLMError::Case::generationFailed}));
        StreamRecorder invalidStream(invalid.streamChat({}));
        QVERIFY(!invalidStream.ended());
        QTRY_COMPARE(invalidStream.failures, QStringList{"Text generation failed"});
        QCOMPARE(probe(invalid), false);

        FakeOllamaServer gone;
        LocalLLMService refused(gone.baseUrl());
        gone.stopListening();
        const Result<ModelReply> transport = sendAndWait(refused);
        QCOMPARE(transport.error(),
                 ModelError(PlatformError{PlatformError::Case::transport, "Connection refused"}));
        StreamRecorder refusedStream(refused.streamChat({}));
        QTRY_COMPARE(refusedStream.failures, QStringList{"Connection refused"});
        QCOMPARE(probe(refused), false);
    }

    void cancellationReachesTheRequest() {
        FakeOllamaServer server;
        server.enqueue(FakeResponse::silence());
        LocalLLMService service(server.baseUrl());
        auto cancellation = std::make_shared<RequestCancellation>();
        const auto outcome = startTask(service.sendChat({}, cancellation));
        QTRY_COMPARE(server.requests().size(), 1);
        cancellation->cancel();
        QTRY_VERIFY(outcome->has_value());
        QVERIFY(isCancellation((*outcome)->error()));
    }

    void streamedLines_data() {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QStringList>("pieces");
        const auto line = [](const QString& content, bool done) {
            const QJsonObject message{{"role", "assistant"}, {"content", content}};
            return QJsonDocument(QJsonObject{{"message", message}, {"done", done}})
                       .toJson(QJsonDocument::Compact) +
                   '\n';
        };
        QTest::newRow("final empty piece is not delivered")
            << QByteArrayList{line("Hi", false), line(" there", false), line("", true)}
            << QStringList{"Hi", " there"};
        QTest::newRow("done stops reading")
            << QByteArrayList{line("a", false), line("b", true), line("late", false)}
            << QStringList{"a", "b"};
        const QByteArray whole = line(QStringLiteral("你好"), false) + line("", true);
        const qsizetype insideCharacter = whole.indexOf("\xbd");
        QTest::newRow("line and character split across reads")
            << QByteArrayList{whole.left(10), whole.mid(10, insideCharacter - 10),
                              whole.mid(insideCharacter)}
            << QStringList{"你好"};
        QTest::newRow("bad lines skipped") << QByteArrayList{"\n", "not json\n",
                                                             R"({"error":7})"
                                                             "\n",
                                                             line("ok", false)}
                                           << QStringList{"ok"};
        QTest::newRow("body ends without done")
            << QByteArrayList{line("x", false), QByteArray(R"({"message":{"content":"y"}})")}
            << QStringList{"x", "y"};
    }
    void streamedLines() {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QStringList, pieces);
        FakeOllamaServer server;
        server.enqueue(FakeResponse::streamed(200, chunks, 15, "application/x-ndjson"));
        LocalLLMService service(server.baseUrl());
        StreamRecorder stream(service.streamChat({}));
        QTRY_COMPARE(stream.finishes, 1);
        QCOMPARE(stream.pieces, pieces);
        QVERIFY(stream.failures.isEmpty());
    }

    void streamAnsweredWithAnErrorStatus_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<QString>("failure");
        QTest::newRow("500") << FakeResponse::streamed(500, {"boom"})
                             << QStringLiteral("Ollama is not running. Please start Ollama first.");
        QTest::newRow("404 naming the model, in two reads")
            << FakeResponse::streamed(404, {R"({"error":"model 'qwen2.5)", R"(:3b' not found"})"},
                                      10)
            << QStringLiteral("The local model qwen2.5:3b is not installed. Press SETUP LOCAL "
                              "MODEL or run: ollama pull qwen2.5:3b");
    }
    void streamAnsweredWithAnErrorStatus() {
        QFETCH(FakeResponse, response);
        QFETCH(QString, failure);
        FakeOllamaServer server;
        server.enqueue(response);
        LocalLLMService service(server.baseUrl());
        StreamRecorder stream(service.streamChat({}));
        QTRY_COMPARE(stream.failures, QStringList{failure});
        QVERIFY(stream.pieces.isEmpty());
    }

    void probeLooksForAQwenModel_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<bool>("available");
        QTest::newRow("qwen2.5:7b") << FakeOllamaServer::tags({"qwen2.5:7b"}) << true;
        QTest::newRow("among others") << FakeOllamaServer::tags({"llama3", "qwen2:0.5b"}) << true;
        QTest::newRow("llama3") << FakeOllamaServer::tags({"llama3"}) << false;
        QTest::newRow("capitalised") << FakeOllamaServer::tags({"Qwen2.5:3b"}) << false;
        QTest::newRow("none") << FakeOllamaServer::tags({}) << false;
        QTest::newRow("500 listing qwen") << [] {
            FakeResponse response = FakeOllamaServer::tags({"qwen2.5:3b"});
            response.status = 500;
            return response;
        }() << false;
        QTest::newRow("not json") << FakeResponse::text(200, "qwen2.5:3b") << false;
        QTest::newRow("name not text")
            << FakeResponse::json(200, {{"models", QJsonArray{QJsonObject{{"name", 1}}}}}) << false;
    }
    void probeLooksForAQwenModel() {
        QFETCH(FakeResponse, response);
        QFETCH(bool, available);
        FakeOllamaServer server;
        server.enqueue(response);
        LocalLLMService service(server.baseUrl());
        QCOMPARE(probe(service), available);
        QCOMPARE(server.lastRequest().method, QByteArray("GET"));
        QCOMPARE(server.lastRequest().path, QStringLiteral("/api/tags"));
    }
};

QTEST_GUILESS_MAIN(LocalLLMServiceTest)
#include "tst_local_llm_service.moc"
