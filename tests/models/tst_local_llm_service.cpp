// The Ollama client against a scripted Ollama server on localhost, and against
// what Ollama answers today (tests/data/providers/ollama.json; the canned
// answers of the tables are in tests/data/models/local.json).

#include "models/local_llm_service.h"
#include "tools/tool_catalogue.h"

#include "model_fixture.h"
#include "support/fake_http_server.h"
#include "support/task_outcome.h"

#include <QtTest>

namespace {

const QString table = "models/local.json";

} // namespace

class LocalLLMServiceTest : public QObject {
    Q_OBJECT

    FakeOllamaServer m_server;
    LocalLLMService m_service{m_server.baseUrl()};

private Q_SLOTS:
    void requestBodyIsReducedAndExact() {
        QCOMPARE(LocalLLMService().ollamaBase(), "http://127.0.0.1:11434");
        m_server.enqueue(FakeOllamaServer::chatReply("ok"));
        m_server.enqueue(FakeOllamaServer::streamedText({}));
        const WireMessages messages = requestMessages("ollamaMessages");
        QVERIFY(finished(m_service.sendChat(messages)).ok());
        StreamRecorder stream(m_service.streamChat(messages));
        QTRY_COMPARE(stream.finishes, 1);

        for (bool streamed : {false, true}) {
            const RecordedRequest request = m_server.requests().at(streamed);
            QCOMPARE(request.method + ' ' + request.path.toUtf8(), "POST /api/chat");
            QCOMPARE(request.header("Content-Type"), "application/json");
            QJsonObject expected{
                {"model", "qwen2.5:3b"},
                {"messages", requestMessages("ollamaReduced")},
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

    void answersAreRead_data() { addJsonRows(table, "answers"); }
    void answersAreRead() {
        QFETCH(QJsonObject, row);
        m_server.enqueue(
            row.contains("message")
                ? FakeResponse::json(200, {{"message", row.value("message")}, {"done", true}})
                : responseFrom(row));
        expectReplyOfRow(finished(m_service.sendChat({})), row);
    }

    void unusableBaseOrServer_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("description");
        FakeHttpServer closed;
        closed.stopListening();
        QTest::newRow("refused") << closed.baseUrl() << "Connection refused";
        QTest::newRow("no scheme") << "127.0.0.1:11434"
                                   << "Text generation failed";
    }
    void unusableBaseOrServer() {
        QFETCH(QString, base);
        QFETCH(QString, description);
        LocalLLMService service(base);
        expectUnusable(service, description);
    }

    void cancellationReachesTheRequest() {
        m_server.enqueue(FakeResponse::silence());
        expectCancelledAfter(m_service, {}, m_server, 1);
    }

    // How the lines are read is the line tests' business; here what the client
    // does at the ends of a stream.
    void streams_data() { addJsonRows(table, "streams"); }
    void streams() {
        QFETCH(QJsonObject, row);
        m_server.enqueue(responseFrom(row));
        expectStreamOfRow(m_service.streamChat({}), row);
    }

    void probeLooksForAQwenModel_data() { addJsonRows(table, "probes"); }
    void probeLooksForAQwenModel() {
        QFETCH(QJsonObject, row);
        m_server.enqueue(responseFrom(row));
        QCOMPARE(finished(m_service.checkAvailability()), row.value("available").toBool());
        QCOMPARE(m_server.lastRequest().method + ' ' + m_server.lastRequest().path.toUtf8(),
                 "GET /api/tags");
    }
};

QTEST_GUILESS_MAIN(LocalLLMServiceTest)
#include "tst_local_llm_service.moc"
