// emberglass-chat as a user runs it: one message, a stream of messages on
// standard input, JSON output and exit codes, against a scripted provider.

#include "support/fake_http_server.h"
#include "support/provider_replay_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

class ChatCliTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;

    // Starts the program with its own home folder, so its settings and persona stay apart.
    void start(QProcess& process, const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           m_home.filePath(QStringLiteral(".config")));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(EMBERGLASS_BINARY_DIR "/src/cli/emberglass-chat"), arguments);
        QVERIFY(process.waitForStarted());
    }

    static QStringList lines(QProcess& process) {
        return QString::fromUtf8(process.readAllStandardOutput())
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString keyFile() {
        const QString path = m_home.filePath(QStringLiteral("key"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("sk-replay-0123456789\n");
        return path;
    }

    // A free port for a phone server.
    static quint16 freePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

    // Posts one phone message to a server the program started and returns the answer.
    static QByteArray askThePhoneServer(QProcess& process, QByteArray& shown) {
        if (!QTest::qWaitFor(
                [&] { return (shown += process.readAllStandardOutput()).contains('\n'); }, 15000)) {
            return "no phone page: " + shown;
        }
        QUrl url(QString::fromUtf8(shown.mid(12).trimmed()));
        url.setHost(QStringLiteral("127.0.0.1"));
        url.setPath(QStringLiteral("/api/chat"));
        QNetworkAccessManager network;
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        QNetworkReply* reply = network.post(
            request, R"({"messages":[{"role":"user","content":"hi from the phone"}]})");
        const QByteArray body = QTest::qWaitFor([reply] { return reply->isFinished(); }, 15000)
                                    ? reply->readAll()
                                    : QByteArray("no answer");
        reply->deleteLater();
        return body;
    }

    static const inline QString answer =
        QStringLiteral("The root folder holds the usual system directories.");

private Q_SLOTS:
    void oneMessageWithAToolCall() {
        FakeOpenAIServer server;
        server.enqueue(FakeOpenAIServer::chatReply(
            QString(),
            {FakeOpenAIServer::toolCall(QStringLiteral("c1"), QStringLiteral("list_directory"),
                                        QStringLiteral("{\"path\":\"/nonexistent-dir\"}"))}));
        server.enqueue(FakeOpenAIServer::chatReply(QStringLiteral("There is no such folder.")));
        QProcess process;
        start(process, {QStringLiteral("--base-url"), server.baseUrl(),
                        QStringLiteral("what is in /nonexistent-dir?")});
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 15000);
        QCOMPARE(process.exitCode(), 0);
        const QStringList output = lines(process);
        QCOMPARE(output.value(0), QStringLiteral("you> what is in /nonexistent-dir?"));
        QCOMPARE(output.value(1), QStringLiteral("agent> Using tools..."));
        QCOMPARE(output.value(2), QStringLiteral("[tool] list_directory path: /nonexistent-dir"));
        QVERIFY(output.value(3).startsWith(QStringLiteral("[result, failed] Error: ")));
        QCOMPARE(output.last(), QStringLiteral("agent> There is no such folder."));
        // The override was for this run only.
        QVERIFY(
            !QFile::exists(m_home.filePath(QStringLiteral(".config/Emberglass/Emberglass.conf"))));
    }

    void anErrorReplyExitsWithOne() {
        FakeOpenAIServer server;
        server.enqueue(FakeResponse::text(500, "overloaded"));
        QProcess process;
        start(process, {QStringLiteral("--base-url"), server.baseUrl(), QStringLiteral("hi")});
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 15000);
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(lines(process).last(), QStringLiteral("agent> Error: API error: overloaded"));
    }

    void messagesFromStandardInputAsJson() {
        FakeOpenAIServer server;
        server.setStandingResponse("POST", QStringLiteral("/v1/chat/completions"),
                                   FakeOpenAIServer::chatReply(QStringLiteral("ok")));
        QTemporaryFile keyFile;
        QVERIFY(keyFile.open());
        keyFile.write("sk-from-file\n");
        keyFile.flush();
        QProcess process;
        start(process,
              {QStringLiteral("--json"), QStringLiteral("--provider"), QStringLiteral("DeepSeek"),
               QStringLiteral("--model"), QStringLiteral("m-1"), QStringLiteral("--api-key-file"),
               keyFile.fileName(), QStringLiteral("--base-url"), server.baseUrl()});
        process.write("first\n\nsecond\nthird without newline");
        process.closeWriteChannel();
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 15000);
        const QByteArray output = process.readAllStandardOutput();
        QVERIFY2(process.exitCode() == 0, output.constData());
        QStringList roles;
        QStringList texts;
        for (const QString& line :
             QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QJsonObject message = QJsonDocument::fromJson(line.toUtf8()).object();
            roles << message[QStringLiteral("role")].toString();
            texts << message[QStringLiteral("content")].toString();
        }
        QCOMPARE(roles, (QStringList{QStringLiteral("user"), QStringLiteral("assistant"),
                                     QStringLiteral("user"), QStringLiteral("assistant"),
                                     QStringLiteral("user"), QStringLiteral("assistant")}));
        QCOMPARE(texts[4], QStringLiteral("third without newline"));
        const RecordedRequest request = server.lastRequest();
        QCOMPARE(request.header("authorization"), QByteArray("Bearer sk-from-file"));
        QCOMPARE(request.json()[QStringLiteral("model")].toString(), QStringLiteral("m-1"));
    }

    void servesThePhonePageAndPrintsTheMirror() {
        FakeOpenAIServer server;
        server.enqueue(
            FakeOpenAIServer::streamedText({QStringLiteral("Hello "), QStringLiteral("phone")}));
        const quint16 port = freePort();
        QProcess process;
        start(process, {QStringLiteral("--serve"), QStringLiteral("--port"), QString::number(port),
                        QStringLiteral("--base-url"), server.baseUrl()});
        QByteArray shown;
        QCOMPARE(
            askThePhoneServer(process, shown),
            QByteArray("{\"content\":\"Hello \"}\n{\"content\":\"phone\"}\n{\"done\":true}\n"));
        QVERIFY2(shown.startsWith("Phone page: http://"), shown.constData());
        QCOMPARE(QUrl(QString::fromUtf8(shown.mid(12).trimmed())).port(), int(port));
        QTRY_VERIFY_WITH_TIMEOUT(
            (shown += process.readAllStandardOutput()).contains("agent> Hello phone"), 15000);
        QVERIFY(shown.contains("you> hi from the phone"));
        process.terminate();
        QVERIFY(process.waitForFinished(15000));
    }

    void servesTheLocalModelAndHandsItsErrorsToThePhone() {
        OllamaReplayServer server;
        server.enqueue("POST", QStringLiteral("/api/chat"),
                       server.replay().stream(QStringLiteral("streamError")));
        QProcess process;
        start(process,
              {QStringLiteral("--serve"), QStringLiteral("--local"), QStringLiteral("--ollama-url"),
               server.baseUrl(), QStringLiteral("--port"), QString::number(freePort())});
        QByteArray shown;
        QCOMPARE(askThePhoneServer(process, shown),
                 QByteArray("{\"content\":\"Partial \"}\n{\"error\":\"Ollama error: an unknown "
                            "error was encountered while running the model \"}\n"));
        process.terminate();
        QVERIFY(process.waitForFinished(15000));
    }

    void aToolLoopWithEachProviderAsItAnswersToday_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("refusals");
        for (const char* name : {"xai", "doubao", "gemini", "deepseek"}) {
            QTest::newRow(name) << QString::fromLatin1(name) << QStringList();
        }
        // Refuses the first request with tools until asked-for reasoning_effort
        // "none" comes; the request is sent again and later ones carry it.
        QTest::newRow("openai") << QStringLiteral("openai")
                                << QStringList{QStringLiteral("reasoningEffortWithTools")};
    }
    void aToolLoopWithEachProviderAsItAnswersToday() {
        // The preset's default model, the provider's own members sent back as it
        // asks, checked by the provider's own rules: a refusal would end in an error.
        QFETCH(QString, name);
        QFETCH(QStringList, refusals);
        ProviderReplayServer server(name);
        QProcess process;
        start(process,
              {QStringLiteral("--provider"), server.replay().provider(),
               QStringLiteral("--base-url"), server.baseUrl(), QStringLiteral("--api-key-file"),
               keyFile(), QStringLiteral("What is in the root folder?")});
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 15000);
        const QStringList output = lines(process);
        QVERIFY2(process.exitCode() == 0, qPrintable(output.join('\n')));
        QCOMPARE(server.refusals(), refusals);
        QVERIFY(output.contains(QStringLiteral("[tool] list_directory path: /")));
        QCOMPARE(output.last(), QStringLiteral("agent> ") + answer);
        // The call, then the answer, after each refusal's one repeat.
        QCOMPARE(server.requests().size(), 2 + refusals.size());
    }

    void aToolLoopWithTheLocalModel() {
        OllamaReplayServer server;
        QProcess process;
        start(process, {QStringLiteral("--local"), QStringLiteral("--ollama-url"), server.baseUrl(),
                        QStringLiteral("What is in the root folder?")});
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 15000);
        const QStringList output = lines(process);
        QVERIFY2(process.exitCode() == 0, qPrintable(output.join('\n')));
        QVERIFY(output.contains(QStringLiteral("[tool] list_directory path: /")));
        QCOMPARE(output.last(), QStringLiteral("agent> ") + answer);
        QList<QJsonObject> chats;
        for (const RecordedRequest& request : server.requests()) {
            if (request.method == "POST") {
                chats << request.json();
            }
        }
        QCOMPARE(chats.size(), 2);
        // Offered the tools each time; the result came back as text.
        QVERIFY(!chats[0]["tools"].toArray().isEmpty() && !chats[1]["tools"].toArray().isEmpty());
        QVERIFY(chats[1]["messages"].toArray().last()["content"].toString().startsWith(
            QStringLiteral("[Tool Result: list_directory]\n")));
    }

    void listModelsPrintsWhatTheProviderServes() {
        ProviderReplayServer server(QStringLiteral("gemini"));
        const QStringList arguments{QStringLiteral("--list-models"),
                                    QStringLiteral("--provider"),
                                    QStringLiteral("Gemini"),
                                    QStringLiteral("--base-url"),
                                    server.baseUrl(),
                                    QStringLiteral("--api-key-file"),
                                    keyFile()};
        QProcess process;
        start(process, arguments);
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 15000);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(lines(process), (QStringList{"gemini-3.1-flash-lite", "gemini-3.1-pro-preview",
                                              "gemini-3.5-flash", "gemini-flash-latest"}));

        server.setStandingResponse("GET", QStringLiteral("/v1/models"),
                                   FakeResponse::text(401, "Incorrect API key provided"));
        QProcess refused;
        start(refused, arguments);
        QTRY_COMPARE_WITH_TIMEOUT(refused.state(), QProcess::NotRunning, 15000);
        QCOMPARE(refused.exitCode(), 1);
        QVERIFY(refused.readAllStandardError().contains("API error: Incorrect API key provided"));
    }

    void badUsage() {
        for (const QStringList& arguments :
             {QStringList{QStringLiteral("--provider"), QStringLiteral("Claude"),
                          QStringLiteral("x")},
              QStringList{QStringLiteral("--nope")},
              QStringList{QStringLiteral("--port"), QStringLiteral("99999"),
                          QStringLiteral("--serve")},
              QStringList{QStringLiteral("--list-models"), QStringLiteral("--local")}}) {
            QProcess process;
            start(process, arguments);
            QVERIFY(process.waitForFinished(15000));
            QCOMPARE(process.exitCode(), 2);
            QVERIFY(process.readAllStandardError().contains("Usage: emberglass-chat"));
        }
    }
};

QTEST_GUILESS_MAIN(ChatCliTest)
#include "tst_chat_cli.moc"
