// emberglass-chat as a user runs it: one message, a stream of messages on
// standard input, JSON output and exit codes, against a scripted provider.

#include "support/json_rows.h"
#include "support/provider_replay.h"
#include "support/raw_http_client.h"
#include "support/refusal_replays.h"
#include "support/responses_replay.h"
#include "support/test_files.h"
#include "tools/files/command_sandbox.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace std::chrono_literals;

namespace {
const QString table = "core/chat_cli.json";

QString shellQuoted(const QString& word) {
    return "'" + QString(word).replace("'", "'\\''") + "'";
}

// The bodies of the chat requests the server was sent, in order.
QList<QJsonObject> chatRequests(const FakeHttpServer& server) {
    QList<QJsonObject> chats;
    for (const RecordedRequest& request : server.requests()) {
        if (request.method == "POST") {
            chats << request.json();
        }
    }
    return chats;
}
} // namespace

// How long a run may take before it is called stuck: the program under a
// sanitizer on a busy machine, not the time a run needs.
constexpr int endTimeout = 120000;

class ChatCliTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_keyFile = m_home.filePath(QStringLiteral("key"));
    QByteArray m_errors; // standard error of the last run
    QString m_path;      // the next run's PATH; empty: this one's

    // Starts the program with its own home folder, so its settings and persona stay
    // apart; without a terminal, or on a pseudo-terminal of its own (through `script`).
    void start(QProcess& process, const QStringList& arguments, bool onTerminal = false) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Every folder of the user's that the program may write to, so a run by hand
        // (outside ctest's sandbox) touches nothing of the developer's.
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(".config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(".local/share"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(".cache"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path()); // private: 0700
        if (!m_path.isEmpty()) {
            environment.insert(QStringLiteral("PATH"), m_path);
        }
        process.setProcessEnvironment(environment);
        process.setChildProcessModifier([] { ::setsid(); }); // no controlling terminal
        const QString program = QStringLiteral(EMBERGLASS_BINARY_DIR "/src/cli/emberglass-chat");
        if (!onTerminal) {
            process.start(program, arguments);
            return;
        }
        QStringList words{shellQuoted(program)};
        for (const QString& argument : arguments) {
            words << shellQuoted(argument);
        }
        process.start("script", {"-qefc", words.join(' '), "/dev/null"});
    }
    // Runs a chat that touches `name` in `folder` with run_command.
    static QJsonObject touching(const QString& id, const QString& folder, const QString& name) {
        return FakeOpenAIServer::commandCall(id, "touch '" + folder + "/" + name + "'");
    }
    // Runs it to its end; returns the exit code, or -1 when it did not end.
    int run(const QStringList& arguments, QStringList& output, const QByteArray& input = {}) {
        QProcess process;
        start(process, arguments);
        process.write(input);
        process.closeWriteChannel();
        // The scripted provider answers from this process: wait without blocking it.
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, endTimeout)) {
            return -1;
        }
        m_errors = process.readAllStandardError();
        output = QString::fromUtf8(process.readAllStandardOutput())
                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return process.exitCode();
    }

    // Reads the output into `shown` until it holds `text` `times` times.
    static bool waitShown(QProcess& process, QByteArray& shown, const QByteArray& text,
                          int times = 1) {
        const auto seen = [&] { return (shown += process.readAll()).count(text) >= times; };
        return QTest::qWaitFor(seen, endTimeout);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(writeBytes(m_keyFile, "sk-replay-0123456789\n")); }

    // One message with a tool call, runs that end with 1, runs that change files
    // without a terminal, and many messages from standard input.
    void oneMessageAtATimeOrManyFromStandardInput() {
        FakeOpenAIServer server;
        server.enqueue(FakeOpenAIServer::chatReply(
            {},
            {FakeOpenAIServer::toolCall("c1", "list_directory", "{\"path\":\"/no/such/dir\"}")}));
        server.enqueue(FakeOpenAIServer::chatReply("There is no such folder."));
        server.enqueue(FakeResponse::text(500, "overloaded"));
        QStringList output;
        QCOMPARE(run({"--base-url", server.baseUrl(), "what is in /no/such/dir?"}, output), 0);
        QCOMPARE(output.mid(0, 3),
                 (QStringList{"you> what is in /no/such/dir?", "agent> Using tools...",
                              "[tool] list_directory path: /no/such/dir"}));
        QVERIFY2(output.value(3).startsWith("[result, failed] Error: "),
                 qPrintable(output.join('\n')));
        QCOMPARE(output.last(), QStringLiteral("agent> There is no such folder."));
        QVERIFY(
            !QFile::exists(m_home.filePath(".config/Emberglass/Emberglass.conf"))); // this run only
        // An error reply ends with 1.
        QCOMPARE(run({"--base-url", server.baseUrl(), "hi"}, output), 1);
        QCOMPARE(output.last(), QStringLiteral("agent> Error: API error: overloaded"));

        // A memory tag that cannot be saved (today's log is a folder) is said on
        // standard error and fails the run; the reply itself is printed.
        server.enqueue(FakeOpenAIServer::chatReply("Noted. [memory: likes tea]"));
        const QString log = m_home.filePath(".nimbrook/memory/") +
                            QDate::currentDate().toString(Qt::ISODate) + ".md";
        QVERIFY(QDir().mkpath(log));
        const int status = run({"--json", "--base-url", server.baseUrl(), "remember tea"}, output);
        QVERIFY(QDir(log).removeRecursively());
        QCOMPARE(status, 1);
        QStringList messages; // as JSON, one object a line
        for (const QString& line : output) {
            const QJsonDocument message = QJsonDocument::fromJson(line.toUtf8());
            messages << message["role"].toString() + ": " + message["content"].toString();
        }
        QCOMPARE(messages,
                 (QStringList{"user: remember tea", "assistant: Noted. [memory: likes tea]"}));
        QCOMPARE(m_errors, "emberglass-chat: Could not save to memory: Is a directory\n");

        // With no terminal to ask on, a change is declined and standard error says
        // why, unless --yes is given (or the stored choice is to act: the sandbox rows).
        const QString folder = m_home.filePath("unattended");
        QVERIFY(QDir().mkpath(folder));
        const auto script = [&](const QString& name) {
            server.enqueue(FakeOpenAIServer::chatReply({}, {touching("c1", folder, name)}));
            server.enqueue(FakeOpenAIServer::chatReply("Done."));
        };
        script("declined");
        QCOMPARE(run({"--base-url", server.baseUrl(), "go"}, output), 0);
        QVERIFY(output.contains("[result, failed] The user declined this run_command call."));
        QVERIFY2(m_errors.contains("declined run_command: no terminal to ask on (--yes lets"),
                 m_errors.constData());
        QVERIFY(!QFile::exists(folder + "/declined"));
        script("told");
        QCOMPARE(run({"--yes", "--base-url", server.baseUrl(), "go"}, output), 0);
        QVERIFY(QFile::exists(folder + "/told"));
        QVERIFY(m_errors.isEmpty());

        // Messages from standard input, one a line. A short rate limit is waited out,
        // standard error saying so. Refused for the model's context: the oldest turn
        // goes and the note says so (which turns go, and which waits are waited, for
        // each provider and Ollama: tst_request_sender; the note is never sent:
        // tst_conversation_store's wire messages).
        for (const FakeResponse& answer :
             {shortRateLimit(), FakeOpenAIServer::chatReply("one"),
              refusalAnswer(refusalRow("contextLength", "deepseek")),
              FakeOpenAIServer::chatReply("two"), FakeOpenAIServer::chatReply("three")}) {
            server.enqueue(answer);
        }
        QCOMPARE(run({"--provider", "DeepSeek", "--model", "m-1", "--api-key-file", m_keyFile,
                      "--base-url", server.baseUrl()},
                     output, "first\n\nsecond\nthird without newline"),
                 0);
        QVERIFY2(m_errors.contains("Waiting for DeepSeek (rate limit)…"), m_errors.constData());
        QCOMPARE(output, (QStringList{"you> first", "agent> one", "you> second", "agent> two",
                                      "note> Earlier messages were left out to fit m-1's context",
                                      "you> third without newline", "agent> three"}));
        QCOMPARE(server.lastRequest().header("authorization").value_or(QString()),
                 "Bearer sk-replay-0123456789");
    }

    // The phone's reply after a short rate limit, waited out as on the desktop
    // (how long a wait is waited, and Responses streams: tst_request_sender and
    // tst_model_clients); the mirror printed.
    void servesThePhonePageAndPrintsTheMirror() {
        FakeOpenAIServer server;
        server.enqueue(shortRateLimit());
        server.enqueue(FakeOpenAIServer::streamedText({"Hello ", "phone"}));
        QTcpServer probe; // a free port
        probe.listen(QHostAddress::LocalHost);
        const quint16 port = probe.serverPort();
        probe.close();
        QProcess process;
        start(process,
              {"--serve", "--port", QString::number(port), "--base-url", server.baseUrl()});
        QByteArray shown;
        QVERIFY(waitShown(process, shown, "\n"));
        QVERIFY2(shown.startsWith("Phone page: http://"), shown.constData());
        const QUrl url(QString::fromUtf8(shown.mid(12).trimmed()));
        QCOMPARE(url.port(), int(port));
        RawHttpClient phone(port);
        phone.send(requestBytes("POST", "/api/chat?" + url.query().toUtf8(), port,
                                chatBody("hi from the phone")));
        QVERIFY(phone.waitClosed(15s)); // the answer's form: tst_chat_view_model's phone chats
        QVERIFY(waitShown(process, shown, "agent> Hello phone"));
        QVERIFY(shown.contains("you> hi from the phone"));
        process.terminate();
        QVERIFY(process.waitForFinished(endTimeout));
    }

    void aToolLoopWithEachProviderAsItAnswersToday_data() { addJsonRows(table, "providers"); }
    void aToolLoopWithEachProviderAsItAnswersToday() {
        // The preset's default model, the provider's own members sent back as it
        // asks, checked by the provider's own rules: a refusal would end in an error.
        // Three user messages, each answered after a tool call: every later request
        // carries the earlier turns as the provider wants them. A model that takes
        // tools only through the Responses API gets the reasoning before each call
        // sent back with it; on chat completions it would refuse.
        QFETCH(QJsonObject, row);
        const QString name = row["tag"].toString();
        std::unique_ptr<FakeHttpServer> server;
        QStringList refusals; // the replay's, once the run has ended
        QStringList arguments{"--api-key-file", m_keyFile};
        if (name == "ollama") {
            server = std::make_unique<OllamaReplayServer>();
            arguments << "--local"
                      << "--ollama-url" << server->baseUrl();
        } else {
            auto* replay = name == "openai_responses" ? new ResponsesReplayServer
                                                      : new ProviderReplayServer(name);
            server.reset(replay);
            arguments << "--provider" << replay->replay().provider() << "--base-url"
                      << replay->baseUrl();
            if (name == "openai_responses") {
                arguments << "--model"
                          << "gpt-6-astra";
            }
        }
        QStringList output;
        const int exitCode =
            run(arguments, output, "What is in the root folder?\nAnd now?\nOnce more, please.\n");
        QVERIFY2(exitCode == 0, qPrintable(output.join('\n')));
        const QString answer = "agent> The root folder holds the usual system directories.";
        QCOMPARE(output.count("[tool] list_directory path: /"), 3);
        QCOMPARE(output.count(answer), 3);
        if (const auto* replay = qobject_cast<ProviderReplayServer*>(server.get())) {
            refusals = replay->refusals();
        }
        QCOMPARE(refusals, jsonTexts(row["refusals"]));
        // The call, then the answer, for each message, after each refusal's one repeat;
        // offered the tools each time.
        const QList<QJsonObject> chats = chatRequests(*server);
        QCOMPARE(chats.size(), 6 + refusals.size());
        QVERIFY(!chats.last()["tools"].toArray().isEmpty());
    }

    void listModelsPrintsWhatTheProviderServes() {
        ProviderReplayServer server(QStringLiteral("gemini"));
        const QStringList arguments{"--list-models",  "--provider",     "Gemini", "--base-url",
                                    server.baseUrl(), "--api-key-file", m_keyFile};
        QStringList output;
        QCOMPARE(run(arguments, output), 0);
        QCOMPARE(output, (QStringList{"gemini-3.1-flash-lite", "gemini-3.1-pro-preview",
                                      "gemini-3.5-flash", "gemini-flash-latest"}));
        server.setStandingResponse("GET", "/v1/models",
                                   FakeResponse::text(401, "Incorrect API key provided"));
        QCOMPARE(run(arguments, output), 1);
        QVERIFY(m_errors.contains("API error: Incorrect API key provided"));
    }

    // On its terminal: "y" runs the call, "a" that tool for the rest of the chat,
    // anything else declines it and the model is told so.
    void asksOnItsTerminal() {
        const QString folder = m_home.filePath("asked");
        QVERIFY(QDir().mkpath(folder));
        const QString written = folder + "/written.txt";
        QVERIFY(writeBytes(written, "12345"));
        FakeOpenAIServer server;
        server.enqueue(FakeOpenAIServer::chatReply({}, {touching("c1", folder, "yes")}));
        server.enqueue(FakeOpenAIServer::chatReply({}, {touching("c2", folder, "always")}));
        server.enqueue(FakeOpenAIServer::chatReply(
            {}, {touching("c3", folder, "unasked"),
                 FakeOpenAIServer::toolCall(
                     "c4", "write_file",
                     QJsonDocument(QJsonObject{{"path", written}, {"content", "x"}}).toJson())}));
        server.enqueue(FakeOpenAIServer::chatReply("Done."));
        QProcess process;
        start(process, {"--base-url", server.baseUrl(), "tidy up"}, true);
        QByteArray shown;
        int asked = 0;
        for (const QByteArray answer : {"y\n", "a\n", "n\n"}) {
            QVERIFY2(waitShown(process, shown, "[N]o ", ++asked), shown.constData());
            process.write(answer);
        }
        QVERIFY(
            QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, endTimeout));
        shown += process.readAll();
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(shown.count("[N]o "), 3);
        QVERIFY2(
            shown.contains("Allow write_file: " + written.toUtf8() +
                           " (replaces a file of 5 bytes)? [y]es / [a]lways in this chat / [N]o "),
            shown.constData());
        QVERIFY(shown.contains("[result, failed] The user declined this write_file call."));
        for (const char* name : {"yes", "always", "unasked"}) {
            QVERIFY2(QFile::exists(folder + "/" + name), name);
        }
        QCOMPARE(readBytes(written), "12345");
    }

    // --help and --version answer on standard output; a usage mistake, or a run
    // refused before anything is awaited, ends at once with 2 and says why.
    void endsWithoutRunning_data() { addJsonRows(table, "withoutRunning"); }
    void endsWithoutRunning() {
        QFETCH(QJsonObject, row);
        QStringList output;
        const int status = row["status"].toInt();
        QCOMPARE(run(jsonTexts(row["arguments"]), output), status);
        const QString said = status == 0 ? output.join('\n') : QString::fromUtf8(m_errors);
        const QString expected = row["says"].toString().replace("{version}", EMBERGLASS_VERSION);
        QVERIFY2((said + '\n').contains(expected), qPrintable(said));
    }

    // --sandbox, or the stored preference, confines the agent's commands; where
    // bubblewrap cannot run (here: not on PATH), --sandbox is refused.
    void theSandboxFromTheCommandLineOrTheSettings_data() { addJsonRows(table, "sandbox"); }
    void theSandboxFromTheCommandLineOrTheSettings() {
        QFETCH(QJsonObject, row);
        if (!row.contains("error") && !CommandSandbox::availability().available) {
            QSKIP("bubblewrap cannot run on this machine, so commands cannot be confined here");
        }
        const QString settings = m_home.filePath(".config/Emberglass/Emberglass.conf");
        QVERIFY(writeBytes(settings, jsonBytes(row["settings"])));
        FakeOpenAIServer server;
        server.enqueue(
            FakeOpenAIServer::chatReply({}, {FakeOpenAIServer::commandCall("c1", "touch /usr/x")}));
        server.enqueue(FakeOpenAIServer::chatReply("It is read-only."));
        if (row.contains("path")) {
            m_path = row["path"].toString();
        }
        QStringList output;
        const int status = run(jsonTexts(row["arguments"]) +
                                   QStringList{"--base-url", server.baseUrl(), "touch /usr/x"},
                               output);
        m_path.clear();
        QFile::remove(settings);
        if (row.contains("error")) {
            QCOMPARE(status, row["status"].toInt());
            QVERIFY2(m_errors.contains(row["error"].toString().toUtf8()), m_errors.constData());
            return;
        }
        QCOMPARE(status, 0);
        const QString printed = output.join('\n');
        QVERIFY2(printed.contains("Read-only file system") &&
                     printed.contains("(commands run in a sandbox: SETTINGS)"),
                 qPrintable(printed + "\n" + m_errors));
        QVERIFY(!QFile::exists("/usr/x"));
    }
};

QTEST_GUILESS_MAIN(ChatCliTest)
#include "tst_chat_cli.moc"
