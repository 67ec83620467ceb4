// The Ollama client against a scripted Ollama server on localhost, and against
// what Ollama answers today (tests/data/providers/ollama.json).

#include "models/local_llm_service.h"
#include "models/ollama_protocol.h"
#include "tools/tool_catalogue.h"

#include "stream_recorder.h"
#include "support/fake_http_server.h"
#include "support/provider_replay.h"
#include "support/task_outcome.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QtTest>

Q_DECLARE_METATYPE(FakeResponse)

namespace {

const QString notRunning = "Ollama is not running. Please start Ollama first.";
const QString notInstalled = "The local model qwen2.5:3b is not installed. Press SETUP LOCAL MODEL "
                             "or run: ollama pull qwen2.5:3b";

QByteArray line(const QString& content, bool done) {
    const QJsonObject message{{"role", "assistant"}, {"content", content}};
    return QJsonDocument(QJsonObject{{"message", message}, {"done", done}})
               .toJson(QJsonDocument::Compact) +
           '\n';
}

} // namespace

class LocalLLMServiceTest : public QObject {
    Q_OBJECT

    FakeOllamaServer m_server;
    LocalLLMService m_service{m_server.baseUrl()};

    Result<ModelReply> replyTo(const FakeResponse& response) {
        m_server.enqueue(response);
        return finished(m_service.sendChat({}));
    }

private Q_SLOTS:
    void requestBodyIsReducedAndExact() {
        QCOMPARE(LocalLLMService().ollamaBase(), "http://127.0.0.1:11434");
        m_server.enqueue(FakeOllamaServer::chatReply("ok"));
        m_server.enqueue(FakeOllamaServer::streamedText({}));
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
        const int before = m_server.requests().size();
        QVERIFY(finished(m_service.sendChat(messages)).ok());
        StreamRecorder stream(m_service.streamChat(messages));
        QTRY_COMPARE(stream.finishes, 1);

        const QJsonArray reduced{QJsonObject{{"role", "system"}, {"content", "You are Ember."}},
                                 QJsonObject{{"role", "user"}, {"content", "List my files"}},
                                 QJsonObject{{"role", "user"}, {"content", "a.txt"}},
                                 QJsonObject{{"role", "assistant"}, {"content", "Found a.txt"}}};
        QCOMPARE(m_server.requests().size(), before + 2);
        for (bool streamed : {false, true}) {
            const RecordedRequest request = m_server.requests().at(before + streamed);
            QCOMPARE(request.method + ' ' + request.path.toUtf8(), "POST /api/chat");
            QCOMPARE(request.header("Content-Type"), "application/json");
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
        }
    }

    void repliesWithoutToolBlocksStayText() {
        for (const QString& content :
             QStringList{"  Hello there  ", "I will read it. <tool_call>{\"name\": \"read_file\"",
                         "odd </tool_call> text", ""}) {
            const Result<ModelReply> reply = replyTo(FakeOllamaServer::chatReply(content));
            QVERIFY(reply.ok());
            QCOMPARE(reply.value(), (ModelReply{content, {}}));
        }
    }

    void toolBlocksBecomeNativeCalls() {
        const Result<ModelReply> reply = replyTo(FakeOllamaServer::chatReply(
            "Let me look.\n<tool_call>{\"name\": \"read_file\", \"arguments\": {\"path\": "
            "\"~/notes.txt\", \"limit\": 5}}</tool_call>\n"
            R"(<tool_call>{"name": "list_directory", "arguments": {}}</tool_call>)"
            "\nDone soon."));
        QVERIFY(reply.ok());
        QCOMPARE(reply.value().text, "Let me look.");
        const QList<NativeToolCall> calls = reply.value().toolCalls;
        QCOMPARE(calls.size(), 2);
        for (const NativeToolCall& call : calls) {
            QVERIFY2(QRegularExpression("^local_[0-9A-F]{8}$").match(call.id).hasMatch(),
                     qPrintable(call.id));
        }
        QVERIFY(calls[0].id != calls[1].id);
        QCOMPARE(calls[0].name, "read_file");
        QCOMPARE(calls[0].arguments, (ToolArguments{{"path", "~/notes.txt"}, {"limit", "5"}}));
        QCOMPARE(calls[0].rawArguments, R"({"limit":"5","path":"~/notes.txt"})");
        QCOMPARE(calls[1].name, "list_directory");
        QCOMPARE(calls[1].rawArguments, "{}");
    }

    void nativeCallsComeBeforeTextBlocks() {
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
        const Result<ModelReply> reply = decodeOllamaReply(
            HttpAnswer{
                200, QJsonDocument(QJsonObject{{"message", message}, {"done", true}}).toJson(), {}},
            "qwen2.5:3b");
        QVERIFY(reply.ok());
        QCOMPARE(reply.value().text, "I will look.");
        QStringList names;
        for (const NativeToolCall& call : reply.value().toolCalls) {
            names << call.name;
        }
        QCOMPARE(names, (QStringList{"run_command", "list_directory", "read_file"}));
        QCOMPARE(reply.value().toolCalls[0].arguments,
                 (ToolArguments{{"command", "ls"}, {"timeout", "5"}}));
        QCOMPARE(reply.value().toolCalls[0].rawArguments, R"({"command":"ls","timeout":5})");
    }

    void failuresBecomeTheirErrors_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<QString>("description");
        const QString failed = "Text generation failed";
        QTest::newRow("500") << FakeResponse::text(500, "boom") << notRunning;
        QTest::newRow("404 with a message")
            << FakeResponse::json(404, {{"message", QJsonObject{{"content", "x"}}}}) << notRunning;
        QTest::newRow("404 naming a missing model (older words)")
            << FakeResponse::json(
                   404, {{"error", R"(model "qwen2.5:3b" not found, try pulling it first)"}})
            << notInstalled;
        QTest::newRow("404 naming a missing model today")
            << ProviderReplay("ollama").error("modelNotFound") << notInstalled;
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
        const Result<ModelReply> reply = replyTo(response);
        QVERIFY(!reply.ok());
        QCOMPARE(errorDescription(reply.error()), description);
    }

    void unusableBaseOrServer() {
        LocalLLMService invalid("127.0.0.1:11434");
        QCOMPARE(finished(invalid.sendChat({})).error(),
                 ModelError(LLMError{LLMError::Case::generationFailed}));
        StreamRecorder invalidStream(invalid.streamChat({}));
        QVERIFY(!invalidStream.ended());
        QTRY_COMPARE(invalidStream.failures, QStringList{"Text generation failed"});
        QCOMPARE(finished(invalid.checkAvailability()), false);

        FakeOllamaServer gone;
        LocalLLMService refused(gone.baseUrl());
        gone.stopListening();
        QCOMPARE(finished(refused.sendChat({})).error(),
                 ModelError(PlatformError{PlatformError::Case::transport, "Connection refused"}));
        StreamRecorder refusedStream(refused.streamChat({}));
        QTRY_COMPARE(refusedStream.failures, QStringList{"Connection refused"});
        QCOMPARE(finished(refused.checkAvailability()), false);
    }

    void cancellationReachesTheRequest() {
        m_server.enqueue(FakeResponse::silence());
        auto cancellation = std::make_shared<RequestCancellation>();
        const int before = m_server.requests().size();
        const auto outcome = startTask(m_service.sendChat({}, cancellation));
        QTRY_COMPARE(m_server.requests().size(), before + 1);
        cancellation->cancel();
        QTRY_VERIFY(outcome->has_value());
        QVERIFY(isCancellation((*outcome)->error()));
    }

    // How the lines are read is the line tests' business; here what the client
    // does at the ends of a stream.
    void streams_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("failure");
        const auto streamed = [](const QByteArrayList& chunks) {
            return FakeResponse::streamed(200, chunks, 15, "application/x-ndjson");
        };
        QTest::newRow("final empty piece is not delivered")
            << streamed({line("Hi", false), line(" there", false), line("", true)})
            << QStringList{"Hi", " there"} << QString();
        QTest::newRow("done stops reading")
            << streamed({line("a", false), line("b", true), line("late", false)})
            << QStringList{"a", "b"} << QString();
        QTest::newRow("body ends without done")
            << streamed({line("x", false), R"({"message":{"content":"y"}})"})
            << QStringList{"x", "y"} << QString();
        const ProviderReplay replay("ollama");
        QTest::newRow("an error line after text")
            << replay.stream("streamError") << QStringList{replay.streamText("streamError")}
            << replay.streamError("streamError");
        QTest::newRow("500") << FakeResponse::streamed(500, {"boom"}) << QStringList()
                             << notRunning;
        QTest::newRow("404 naming the model, in two reads")
            << FakeResponse::streamed(404, {R"({"error":"model 'qwen2.5)", R"(:3b' not found"})"},
                                      10)
            << QStringList() << notInstalled;
    }
    void streams() {
        QFETCH(FakeResponse, response);
        QFETCH(QStringList, pieces);
        QFETCH(QString, failure);
        m_server.enqueue(response);
        StreamRecorder stream(m_service.streamChat({}));
        QTRY_VERIFY(stream.ended());
        QCOMPARE(stream.pieces, pieces);
        QCOMPARE(stream.failures, failure.isEmpty() ? QStringList() : QStringList{failure});
        QCOMPARE(stream.finishes, failure.isEmpty() ? 1 : 0);
    }

    void probeLooksForAQwenModel_data() {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<bool>("available");
        QTest::newRow("qwen2.5:7b") << FakeOllamaServer::tags({"qwen2.5:7b"}) << true;
        QTest::newRow("among others") << FakeOllamaServer::tags({"llama3", "qwen2:0.5b"}) << true;
        QTest::newRow("installed today") << ProviderReplay("ollama").response("tags") << true;
        QTest::newRow("llama3") << FakeOllamaServer::tags({"llama3"}) << false;
        QTest::newRow("capitalised") << FakeOllamaServer::tags({"Qwen2.5:3b"}) << false;
        QTest::newRow("none") << FakeOllamaServer::tags({}) << false;
        FakeResponse failing = FakeOllamaServer::tags({"qwen2.5:3b"});
        failing.status = 500;
        QTest::newRow("500 listing qwen") << failing << false;
        QTest::newRow("not json") << FakeResponse::text(200, "qwen2.5:3b") << false;
        QTest::newRow("name not text")
            << FakeResponse::json(200, {{"models", QJsonArray{QJsonObject{{"name", 1}}}}}) << false;
    }
    void probeLooksForAQwenModel() {
        QFETCH(FakeResponse, response);
        QFETCH(bool, available);
        m_server.enqueue(response);
        QCOMPARE(finished(m_service.checkAvailability()), available);
        QCOMPARE(m_server.lastRequest().method + ' ' + m_server.lastRequest().path.toUtf8(),
                 "GET /api/tags");
    }
};

QTEST_GUILESS_MAIN(LocalLLMServiceTest)
#include "tst_local_llm_service.moc"
