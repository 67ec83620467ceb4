// emberglass-chat as a user runs it: one message, a stream of messages on
// standard input, JSON output and exit codes, against a scripted provider.

#include "support/fake_http_server.h"

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
        QTcpServer probe; // a free port for the phone server
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        QProcess process;
        start(process, {QStringLiteral("--serve"), QStringLiteral("--port"), QString::number(port),
                        QStringLiteral("--base-url"), server.baseUrl()});
        QByteArray shown;
        QTRY_VERIFY_WITH_TIMEOUT((shown += process.readAllStandardOutput()).contains('\n'), 15000);
        QVERIFY2(shown.startsWith("Phone page: http://"), shown.constData());
        QUrl url(QString::fromUtf8(shown.mid(12).trimmed()));
        QCOMPARE(url.port(), int(port));
        url.setHost(QStringLiteral("127.0.0.1"));
        url.setPath(QStringLiteral("/api/chat"));

        QNetworkAccessManager network;
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        QNetworkReply* reply = network.post(
            request, R"({"messages":[{"role":"user","content":"hi from the phone"}]})");
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 15000);
        QCOMPARE(
            reply->readAll(),
            QByteArray("{\"content\":\"Hello \"}\n{\"content\":\"phone\"}\n{\"done\":true}\n"));
        reply->deleteLater();
        QTRY_VERIFY_WITH_TIMEOUT(
            (shown += process.readAllStandardOutput()).contains("agent> Hello phone"), 15000);
        QVERIFY(shown.contains("you> hi from the phone"));
        process.terminate();
        QVERIFY(process.waitForFinished(15000));
    }

    void badUsage() {
        for (const QStringList& arguments :
             {QStringList{QStringLiteral("--provider"), QStringLiteral("Claude"),
                          QStringLiteral("x")},
              QStringList{QStringLiteral("--nope")},
              QStringList{QStringLiteral("--port"), QStringLiteral("99999"),
                          QStringLiteral("--serve")}}) {
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
