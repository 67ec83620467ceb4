// The phone server over real loopback sockets: exact bytes of every answer,
// the chat exchange and its hooks, and the refusals that keep other web sites
// and other machines' names out.

#include "raw_http_client.h"
#include "server/phone_page.h"
#include "server_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QUrl>
#include <QtTest>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QByteArray kJsonLinesHeader = "HTTP/1.1 200 OK\r\nContent-Type: application/x-ndjson\r\n"
                                    "Cache-Control: no-cache\r\nConnection: close\r\n\r\n";
const QByteArray kBadRequest = "HTTP/1.1 400 Bad Request\r\nContent-Type: text/plain\r\n"
                               "Content-Length: 11\r\nConnection: close\r\n\r\nBad Request";
const QByteArray kNotFound = "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\n"
                             "Content-Length: 9\r\nConnection: close\r\n\r\nNot Found";
const QByteArray kPreflight = "HTTP/1.1 204 No Content\r\n"
                              "Access-Control-Allow-Methods: POST, GET, OPTIONS\r\n"
                              "Access-Control-Allow-Headers: Content-Type\r\n"
                              "Connection: close\r\n\r\n";

QByteArray statusLine(const QByteArray& response) {
    return response.left(response.indexOf("\r\n"));
}

} // namespace

class LocalServerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ServerFixture> fixture;

    // Sends the bytes on a new connection and returns all of the answer once
    // the server has closed the connection.
    QByteArray exchange(const QByteArray& bytes) {
        RawHttpClient client(fixture->port);
        if (!client.waitConnected()) {
            return "not connected";
        }
        client.send(bytes);
        if (!client.waitClosed()) {
            return "not closed";
        }
        return client.received();
    }

    QByteArray chat(const QByteArray& messagesJson) {
        return exchange(
            requestBytes("POST", fixture->chatTarget(), fixture->port, chatBody(messagesJson)));
    }

private Q_SLOTS:
    void init() {
        fixture = std::make_unique<ServerFixture>();
        fixture->script.pieces = QStringList{QStringLiteral("Hel"), QStringLiteral("lo \"wörld\""),
                                             QStringLiteral("\n😀")};
        QVERIFY(fixture->start());
    }
    void cleanup() { fixture.reset(); }

    void reportsAddressWithRealPortAndFreshKey() {
        const QString url = *fixture->statusReports.last().second;
        const QRegularExpression shape(QStringLiteral(
            R"(^http://(localhost|10\.\d+\.\d+\.\d+|172\.\d+\.\d+\.\d+|192\.168\.\d+\.\d+):(\d+)/\?key=([A-Za-z0-9_-]{22,})$)"));
        const QRegularExpressionMatch match = shape.match(url);
        QVERIFY2(match.hasMatch(), qPrintable(url));
        QCOMPARE(match.captured(2).toInt(), int(fixture->server.listeningPort()));

        fixture->server.stop();
        QCOMPARE(fixture->statusReports.last(),
                 (std::pair<bool, std::optional<QString>>{false, {}}));
        QVERIFY(!fixture->server.isListening());

        const QString oldKey = fixture->key;
        QVERIFY(fixture->start());
        QCOMPARE(fixture->statusReports.size(), 3);
        QVERIFY(fixture->key != oldKey);
        // The old key no longer opens the page.
        const QByteArray stale =
            exchange(requestBytes("GET", "/?key=" + oldKey.toUtf8(), fixture->port));
        QCOMPARE(statusLine(stale), QByteArray("HTTP/1.1 403 Forbidden"));
    }

    void portInUseReportsNotRunning() {
        QTcpServer occupant;
        QVERIFY(occupant.listen(QHostAddress::Any, 0));
        ServerFixture second;
        second.server.port = occupant.serverPort();
        QVERIFY(!second.start());
        QCOMPARE(second.statusReports.size(), 1);
        QCOMPARE(second.statusReports.first(),
                 (std::pair<bool, std::optional<QString>>{false, {}}));
        QVERIFY(!second.server.isListening());
    }

    void servesThePageWithTheKey() {
        const QByteArray page = phonePage();
        QVERIFY(page.contains("id=\"messages\""));
        QVERIFY(page.contains("EMBERGLASS"));
        const QByteArray response =
            exchange(requestBytes("GET", fixture->pageTarget(), fixture->port));
        QCOMPARE(response, "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                           "Content-Length: " +
                               QByteArray::number(page.size()) + "\r\nConnection: close\r\n\r\n" +
                               page);
        QVERIFY(!response.contains("Access-Control-Allow-Origin"));
    }

    void answersByMethodPathAndKey_data() {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("target"); // KEY stands for the real key
        QTest::addColumn<QByteArray>("extraHeaders");
        QTest::addColumn<QByteArray>("expectedStatus");

        QTest::newRow("other path") << QByteArray("GET") << QByteArray("/index.html?key=KEY")
                                    << QByteArray() << QByteArray("HTTP/1.1 404 Not Found");
        QTest::newRow("POST page") << QByteArray("POST") << QByteArray("/?key=KEY") << QByteArray()
                                   << QByteArray("HTTP/1.1 404 Not Found");
        QTest::newRow("GET chat") << QByteArray("GET") << QByteArray("/api/chat?key=KEY")
                                  << QByteArray() << QByteArray("HTTP/1.1 404 Not Found");
        QTest::newRow("method case") << QByteArray("get") << QByteArray("/?key=KEY") << QByteArray()
                                     << QByteArray("HTTP/1.1 404 Not Found");
        QTest::newRow("page without key") << QByteArray("GET") << QByteArray("/") << QByteArray()
                                          << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("page wrong key") << QByteArray("GET") << QByteArray("/?key=KEYx")
                                        << QByteArray() << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("page key prefix") << QByteArray("GET") << QByteArray("/?key=K")
                                         << QByteArray() << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("chat without key") << QByteArray("POST") << QByteArray("/api/chat")
                                          << QByteArray() << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("chat key in header only")
            << QByteArray("POST") << QByteArray("/api/chat") << QByteArray("X-Key: KEY\r\n")
            << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("foreign origin") << QByteArray("GET") << QByteArray("/?key=KEY")
                                        << QByteArray("Origin: http://evil.example\r\n")
                                        << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("null origin")
            << QByteArray("POST") << QByteArray("/api/chat?key=KEY")
            << QByteArray("Origin: null\r\n") << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("origin other port")
            << QByteArray("GET") << QByteArray("/?key=KEY")
            << QByteArray("Origin: http://127.0.0.1:1\r\n") << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("own origin")
            << QByteArray("GET") << QByteArray("/?key=KEY")
            << QByteArray("Origin: http://127.0.0.1:PORT\r\n") << QByteArray("HTTP/1.1 200 OK");
        QTest::newRow("page key among others")
            << QByteArray("GET") << QByteArray("/?from=qr&key=KEY") << QByteArray()
            << QByteArray("HTTP/1.1 200 OK");
    }
    void answersByMethodPathAndKey() {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, extraHeaders);
        QFETCH(QByteArray, expectedStatus);
        const QByteArray key = fixture->key.toUtf8();
        const QByteArray port = QByteArray::number(fixture->port);
        const QByteArray response =
            exchange(requestBytes(method, target.replace("KEY", key), fixture->port, {},
                                  extraHeaders.replace("KEY", key).replace("PORT", port)));
        QCOMPARE(statusLine(response), expectedStatus);
        QVERIFY(!response.contains("Access-Control-Allow-Origin"));
        QVERIFY(fixture->modelRequests.isEmpty());
    }

    void notFoundIsExact() {
        QCOMPARE(exchange(requestBytes("GET", "/favicon.ico", fixture->port)), kNotFound);
    }

    void preflightIsTheFixedBlockForAnyPath_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("chat") << QByteArray("/api/chat");
        QTest::newRow("anything") << QByteArray("/no/such/thing?x=1");
        QTest::newRow("star") << QByteArray("*");
    }
    void preflightIsTheFixedBlockForAnyPath() {
        QFETCH(QByteArray, target);
        QCOMPARE(exchange(requestBytes("OPTIONS", target, fixture->port)), kPreflight);
    }

    void refusesOtherHosts_data() {
        QTest::addColumn<QByteArray>("hostLine");
        QTest::newRow("rebound name") << QByteArray("Host: attacker.example:PORT\r\n");
        QTest::newRow("no port") << QByteArray("Host: 127.0.0.1\r\n");
        QTest::newRow("other port") << QByteArray("Host: localhost:1\r\n");
        QTest::newRow("no host") << QByteArray();
        QTest::newRow("suffix") << QByteArray("Host: 127.0.0.1:PORT.evil\r\n");
    }
    void refusesOtherHosts() {
        QFETCH(QByteArray, hostLine);
        hostLine.replace("PORT", QByteArray::number(fixture->port));
        const QByteArray response =
            exchange("GET " + fixture->pageTarget() + " HTTP/1.1\r\n" + hostLine + "\r\n");
        QCOMPARE(statusLine(response), QByteArray("HTTP/1.1 403 Forbidden"));
        QVERIFY(response.endsWith("not accepted."));
    }

    void acceptsEveryOwnHostName() {
        QStringList names = {QStringLiteral("localhost"), QStringLiteral("LocalHost"),
                             QStringLiteral("127.0.0.1")};
        const QString url = *fixture->statusReports.last().second;
        names.append(QUrl(url).host()); // the shown address itself
        for (const QString& name : names) {
            const QByteArray response =
                exchange("GET " + fixture->pageTarget() + " HTTP/1.1\r\nHost: " + name.toUtf8() +
                         ':' + QByteArray::number(fixture->port) + "\r\n\r\n");
            QVERIFY2(response.startsWith("HTTP/1.1 200 OK"), qPrintable(name));
        }
    }

    void streamsEveryPieceAsOneLineThenDone() {
        const QByteArray response = chat(R"([{"role":"user","content":"Hi <b>there</b>"}])");
        QCOMPARE(response, kJsonLinesHeader + "{\"content\":\"Hel\"}\n"
                                              "{\"content\":\"lo \\\"wörld\\\"\"}\n"
                                              "{\"content\":\"\\n😀\"}\n"
                                              "{\"done\":true}\n");
        QTRY_COMPARE(fixture->events,
                     (QStringList{QStringLiteral("user:Hi <b>there</b>"),
                                  QStringLiteral("token:Hel"), QStringLiteral("token:lo \"wörld\""),
                                  QStringLiteral("token:\n😀"), QStringLiteral("done")}));
    }

    void errorLineEndsTheReplyAfterItsPieces() {
        fixture->script.pieces = QStringList{QStringLiteral("Partial")};
        fixture->script.failure =
            QStringLiteral("Ollama is not running. Please start Ollama first.");
        const QByteArray response = chat(R"([{"role":"user","content":"x"}])");
        QCOMPARE(response, kJsonLinesHeader + "{\"content\":\"Partial\"}\n"
                                              "{\"error\":\"Ollama is not running. Please start "
                                              "Ollama first.\"}\n");
        QTRY_COMPARE(fixture->events,
                     (QStringList{QStringLiteral("user:x"), QStringLiteral("token:Partial"),
                                  QStringLiteral("done")}));
    }

    void systemPromptGoesFirstOnlyWhenNotEmpty_data() {
        QTest::addColumn<QString>("prompt");
        QTest::newRow("empty") << QString();
        QTest::newRow("persona") << QStringLiteral("You are Ember.\nBe brief.");
    }
    void systemPromptGoesFirstOnlyWhenNotEmpty() {
        QFETCH(QString, prompt);
        fixture->systemPrompt = prompt;
        const QByteArray history =
            R"([{"role":"user","content":"one"},{"role":"assistant","content":"two","name":"x"},)"
            R"({"role":"user","content":"three"}])";
        chat(history);
        QCOMPARE(fixture->modelRequests.size(), 1);
        QJsonArray expected = QJsonDocument::fromJson(history).array();
        if (!prompt.isEmpty()) {
            expected.prepend(QJsonObject{{QStringLiteral("role"), QStringLiteral("system")},
                                         {QStringLiteral("content"), prompt}});
        }
        QCOMPARE(fixture->modelRequests.first(), expected);
        QTRY_COMPARE(fixture->events.first(), QStringLiteral("user:three"));
    }

    void userMessageHookFollowsTheLastUserMessage_data() {
        QTest::addColumn<QByteArray>("messages");
        QTest::addColumn<QStringList>("userEvents");
        QTest::newRow("no user") << QByteArray(R"([{"role":"assistant","content":"hello"}])")
                                 << QStringList();
        QTest::newRow("empty list") << QByteArray("[]") << QStringList();
        QTest::newRow("last user without content")
            << QByteArray(R"([{"role":"user","content":"a"},{"role":"user"}])") << QStringList();
        QTest::newRow("untrimmed last")
            << QByteArray(R"([{"role":"user","content":"a"},{"role":"assistant","content":"b"},)"
                          R"({"role":"user","content":"  c  "}])")
            << QStringList{QStringLiteral("user:  c  ")};
    }
    void userMessageHookFollowsTheLastUserMessage() {
        QFETCH(QByteArray, messages);
        QFETCH(QStringList, userEvents);
        const QByteArray response = chat(messages);
        QVERIFY(response.endsWith("{\"done\":true}\n")); // streamed all the same
        QTRY_VERIFY(fixture->events.contains(QStringLiteral("done")));
        const QStringList users =
            fixture->events.filter(QRegularExpression(QStringLiteral("^user:")));
        QCOMPARE(users, userEvents);
    }

    void malformedChatBodiesGet400_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("null content") << chatBody(R"([{"role":"user","content":null}])");
        QTest::newRow("number value") << chatBody(R"([{"role":"user","content":"a","n":1}])");
        QTest::newRow("nested object") << chatBody(R"([{"role":"user","content":{"a":"b"}}])");
        QTest::newRow("message not object") << chatBody(R"(["hello"])");
        QTest::newRow("messages not array") << chatBody(R"({"role":"user"})");
        QTest::newRow("messages missing") << QByteArray(R"({"history":[]})");
        QTest::newRow("top-level array") << QByteArray(R"([{"messages":[]}])");
        QTest::newRow("not JSON") << QByteArray("messages=hello");
        QTest::newRow("truncated JSON") << QByteArray("{\"messages\":[{\"role\":\"us");
    }
    void malformedChatBodiesGet400() {
        QFETCH(QByteArray, body);
        QCOMPARE(exchange(requestBytes("POST", fixture->chatTarget(), fixture->port, body)),
                 kBadRequest);
        QVERIFY(fixture->modelRequests.isEmpty());
        QVERIFY(fixture->events.isEmpty());
    }

    void chatWithoutContentLengthHasAnEmptyBody() {
        // Only the header arrives; without a length the body is empty: 400.
        QCOMPARE(exchange("POST " + fixture->chatTarget() + " HTTP/1.1\r\nHost: 127.0.0.1:" +
                          QByteArray::number(fixture->port) + "\r\n\r\n{\"messages\":[]}"),
                 kBadRequest);
    }

    void headerAndBodyInSeparateReads() {
        const QByteArray request = requestBytes("POST", fixture->chatTarget(), fixture->port,
                                                chatBody(R"([{"role":"user","content":"split"}])"));
        const qsizetype bodyStart = request.indexOf("\r\n\r\n") + 4;
        RawHttpClient client(fixture->port);
        QVERIFY(client.waitConnected());
        client.send(request.left(bodyStart + 3));
        // Let the server read what it has; it must wait for the rest.
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents();
        }
        QVERIFY(client.received().isEmpty());
        QVERIFY(!client.isClosed());
        client.send(request.mid(bodyStart + 3));
        QVERIFY(client.waitClosed());
        QVERIFY(client.received().startsWith(kJsonLinesHeader));
        QVERIFY(client.received().endsWith("{\"done\":true}\n"));
        QTRY_COMPARE(fixture->events.first(), QStringLiteral("user:split"));
    }

    void invalidContentLengthGets400_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("negative") << QByteArray("-1");
        QTest::newRow("words") << QByteArray("ten");
        QTest::newRow("trailing letters") << QByteArray("12abc");
        QTest::newRow("blank") << QByteArray("  ");
        QTest::newRow("sign only") << QByteArray("+");
    }
    void invalidContentLengthGets400() {
        QFETCH(QByteArray, value);
        QCOMPARE(exchange(requestBytes("POST", fixture->chatTarget(), fixture->port, {},
                                       "Content-Length: " + value + "\r\n")),
                 kBadRequest);
    }

    void oversizedHeaderGets431_data() {
        QTest::addColumn<bool>("terminated");
        QTest::newRow("never ends") << false;
        QTest::newRow("ends too late") << true;
    }
    void oversizedHeaderGets431() {
        QFETCH(bool, terminated);
        QByteArray request = requestBytes("GET", fixture->pageTarget(), fixture->port, {},
                                          "X-Filler: " + QByteArray(70 * 1024, 'a') + "\r\n");
        if (!terminated) {
            request.chop(4);
        }
        QCOMPARE(exchange(request),
                 QByteArray("HTTP/1.1 431 Request Header Fields Too Large\r\n"
                            "Content-Type: text/plain\r\nContent-Length: 31\r\n"
                            "Connection: close\r\n\r\nRequest Header Fields Too Large"));
    }

    void oversizedBodyGets413WithoutWaitingForIt_data() {
        QTest::addColumn<bool>("bodySent");
        QTest::newRow("header only") << false;
        // The refused body is still arriving: the answer must not be lost to a reset.
        QTest::newRow("body following") << true;
    }
    void oversizedBodyGets413WithoutWaitingForIt() {
        QFETCH(bool, bodySent);
        const QByteArray body = bodySent ? QByteArray(2 * 1024 * 1024, 'x') : QByteArray();
        QCOMPARE(exchange(requestBytes("POST", fixture->chatTarget(), fixture->port, {},
                                       "Content-Length: 2097152\r\n") +
                          body),
                 QByteArray("HTTP/1.1 413 Payload Too Large\r\nContent-Type: text/plain\r\n"
                            "Content-Length: 17\r\nConnection: close\r\n\r\nPayload Too Large"));
    }

    void bodyOfExactlyOneMebibyteIsRead() {
        // A valid history padded to 1 MiB: read whole and answered as a chat.
        const QByteArray head =
            "{\"messages\":[{\"role\":\"user\",\"content\":\"big\"}],\"pad\":\"";
        const QByteArray body = head + QByteArray(1024 * 1024 - head.size() - 2, 'p') + "\"}";
        QCOMPARE(body.size(), 1024 * 1024);
        const QByteArray response =
            exchange(requestBytes("POST", fixture->chatTarget(), fixture->port, body));
        QVERIFY(response.endsWith("{\"done\":true}\n"));
    }

    // Trickled bytes, each well within the idle time, do not extend the deadline.
    void unfinishedRequestsAreDroppedAtTheirDeadline_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("trickle");
        QTest::newRow("silent") << QByteArray() << false;
        QTest::newRow("half a header") << QByteArray("GET / HTTP/1.1\r\nHost: 127.0.0.1") << false;
        QTest::newRow("header, body pending")
            << QByteArray("POST /api/chat HTTP/1.1\r\nContent-Length: 100\r\n\r\n{") << false;
        QTest::newRow("trickled header") << QByteArray("GET / HTTP/1.1\r\nX: ") << true;
        QTest::newRow("trickled body")
            << QByteArray("POST /api/chat HTTP/1.1\r\nContent-Length: 9999\r\n\r\n") << true;
    }
    void unfinishedRequestsAreDroppedAtTheirDeadline() {
        QFETCH(QByteArray, sent);
        QFETCH(bool, trickle);
        fixture->server.setTimeouts({.header = 300ms, .body = 300ms, .idle = 10s});
        RawHttpClient client(fixture->port);
        client.send(sent);
        QTimer trickler;
        QObject::connect(&trickler, &QTimer::timeout, [&client] { client.send("a"); });
        if (trickle) {
            trickler.start(20ms);
        }
        QVERIFY(client.waitClosed(5s));
        QVERIFY(client.received().isEmpty());
    }

    void waitingForTheModelIsNotIdle() {
        fixture->server.setTimeouts({.idle = 100ms});
        fixture->script.firstDelay = 400ms;
        fixture->script.interval = 150ms;
        const QByteArray response = chat(R"([{"role":"user","content":"slow"}])");
        QVERIFY(response.endsWith("{\"content\":\"\\n😀\"}\n{\"done\":true}\n"));
    }

    void requestFollowedByAHalfCloseIsAnswered_data() {
        QTest::addColumn<bool>("isChat");
        QTest::newRow("page") << false;
        QTest::newRow("chat") << true;
    }
    void requestFollowedByAHalfCloseIsAnswered() {
        QFETCH(bool, isChat);
        fixture->script.interval = 20ms; // the reply is still streaming after the half-close
        RawHttpClient client(fixture->port);
        QVERIFY(client.waitConnected());
        client.send(isChat ? requestBytes("POST", fixture->chatTarget(), fixture->port,
                                          chatBody(R"([{"role":"user","content":"q"}])"))
                           : requestBytes("GET", fixture->pageTarget(), fixture->port));
        client.finishSending();
        QVERIFY(client.waitClosed());
        if (isChat) {
            QCOMPARE(client.received(),
                     kJsonLinesHeader +
                         "{\"content\":\"Hel\"}\n{\"content\":\"lo \\\"wörld\\\"\"}\n"
                         "{\"content\":\"\\n😀\"}\n{\"done\":true}\n");
        } else {
            QCOMPARE(client.body(), phonePage());
        }
        QTRY_COMPARE(fixture->server.connectionCount(), 0);
    }

    void peersThatLeaveFreeTheirPlaceAtOnce_data() {
        QTest::addColumn<bool>("halfClose");
        QTest::newRow("closed") << false;
        QTest::newRow("half-closed") << true;
    }
    void peersThatLeaveFreeTheirPlaceAtOnce() {
        QFETCH(bool, halfClose);
        std::vector<std::unique_ptr<RawHttpClient>> clients;
        for (int i = 0; i < 10; ++i) {
            clients.push_back(std::make_unique<RawHttpClient>(fixture->port));
            QVERIFY(clients.back()->waitConnected());
            clients.back()->send("GET / HT"); // an unfinished request
        }
        QTRY_COMPARE(fixture->server.connectionCount(), 10);
        for (const auto& client : clients) {
            halfClose ? client->finishSending() : client->close();
        }
        QTRY_COMPARE(fixture->server.connectionCount(), 0);
    }

    void whenEveryPlaceIsBeingAnsweredNewcomersAreClosed() {
        fixture->server.setMaxConnections(3);
        QList<QPointer<TextPieceStream>> replies; // held in progress until the end
        fixture->replies.reply = [&replies](WireMessages) {
            return replies.emplace_back(new TextPieceStream).data();
        };
        std::vector<std::unique_ptr<RawHttpClient>> chats;
        for (int i = 0; i < 3; ++i) {
            chats.push_back(std::make_unique<RawHttpClient>(fixture->port));
            chats.back()->send(requestBytes("POST", fixture->chatTarget(), fixture->port,
                                            chatBody(R"([{"role":"user","content":"q"}])")));
            QVERIFY(chats.back()->waitForBytes(kJsonLinesHeader.size()));
        }
        RawHttpClient extra(fixture->port);
        extra.send(requestBytes("GET", fixture->pageTarget(), fixture->port));
        QVERIFY(extra.waitClosed(5s));
        QVERIFY(extra.received().isEmpty());
        QTRY_COMPARE(replies.size(), 3);
        for (const QPointer<TextPieceStream>& reply : replies) {
            reply->finish();
        }
        for (const auto& client : chats) {
            QVERIFY(client->waitClosed());
            QCOMPARE(client->body(), QByteArray("{\"done\":true}\n"));
        }
    }

    void phoneLeavingMidReplyKeepsTheDesktopMirror() {
        fixture->script.pieces = QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                             QStringLiteral("c"), QStringLiteral("d")};
        fixture->script.interval = 50ms;
        RawHttpClient client(fixture->port);
        QVERIFY(client.waitConnected());
        client.send(requestBytes("POST", fixture->chatTarget(), fixture->port,
                                 chatBody(R"([{"role":"user","content":"q"}])")));
        QVERIFY(client.waitForBytes(kJsonLinesHeader.size() + 1));
        client.close();
        QTRY_COMPARE(fixture->events,
                     (QStringList{QStringLiteral("user:q"), QStringLiteral("token:a"),
                                  QStringLiteral("token:b"), QStringLiteral("token:c"),
                                  QStringLiteral("token:d"), QStringLiteral("done")}));
        QCOMPARE(statusLine(exchange(requestBytes("GET", fixture->pageTarget(), fixture->port))),
                 QByteArray("HTTP/1.1 200 OK"));
    }

    void stoppingEndsRepliesInProgress() {
        fixture->script.firstDelay = 50ms;
        fixture->script.interval = 300ms; // still streaming when the server stops
        RawHttpClient client(fixture->port);
        QVERIFY(client.waitConnected());
        client.send(requestBytes("POST", fixture->chatTarget(), fixture->port,
                                 chatBody(R"([{"role":"user","content":"q"}])")));
        QTRY_VERIFY(fixture->events.contains(QStringLiteral("token:Hel")));
        fixture->server.stop();
        QVERIFY(client.waitClosed(5s));
        QVERIFY(client.received().startsWith(kJsonLinesHeader + "{\"content\":\"Hel\"}\n"));
        QCOMPARE(fixture->statusReports.last(),
                 (std::pair<bool, std::optional<QString>>{false, {}}));
    }

    void deletingTheServerMidReplyIsSafe() {
        // The owner may drop the server at any time; the model's stream outlives it.
        auto* server = new LocalServer(0);
        QPointer<TextPieceStream> stream;
        QString url;
        int tokens = 0;
        QObject::connect(
            server, &LocalServer::statusChanged,
            [&url](bool, std::optional<QString> reported) { url = reported.value_or(QString()); });
        QObject::connect(server, &LocalServer::webAssistantToken, [&tokens] { ++tokens; });
        FunctionReplySource replies;
        server->setReplySource(&replies);
        replies.reply = [&stream](WireMessages) {
            StreamScript script;
            script.pieces =
                QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")};
            script.interval = 100ms;
            stream = playScript(script);
            return stream.data();
        };
        server->start();
        const quint16 port = server->listeningPort();
        RawHttpClient client(port);
        client.send(requestBytes("POST", "/api/chat?key=" + server->accessKey().toUtf8(), port,
                                 chatBody(R"([{"role":"user","content":"q"}])")));
        QTRY_COMPARE(tokens, 1);
        delete server;
        QVERIFY(client.waitClosed(5s));
        QVERIFY(client.body().startsWith("{\"content\":\"one\"}\n"));
        QTRY_VERIFY(!stream); // played to its end without anybody listening
        QCOMPARE(tokens, 1);
        QVERIFY(!url.isEmpty());
    }

    void withoutAStreamTheReplyIsJustTheHeader() {
        fixture->provideStreams = false;
        QCOMPARE(chat(R"([{"role":"user","content":"q"}])"), kJsonLinesHeader);
        QTRY_COMPARE(fixture->events, QStringList{QStringLiteral("user:q")});
    }

    void randomBytesNeverBreakTheServer() {
        fixture->server.setTimeouts({.header = 100ms, .body = 100ms, .idle = 100ms});
        fixture->script.pieces = QStringList{QStringLiteral("ok")};
        QRandomGenerator random(20240611); // fixed seed: a failure can be replayed
        const QByteArray valid = requestBytes("POST", fixture->chatTarget(), fixture->port,
                                              chatBody(R"([{"role":"user","content":"r"}])"));
        auto garbage = [&](int round) {
            QByteArray bytes;
            switch (round % 3) {
            case 0: // noise
                bytes.resize(random.bounded(1, 3000));
                for (char& c : bytes) {
                    c = char(random.bounded(256));
                }
                break;
            case 1: // a valid request with bytes changed
                bytes = valid;
                for (int flips = random.bounded(1, 8); flips > 0; --flips) {
                    bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
                }
                break;
            default: // a valid request cut short, with noise after it
                bytes = valid.left(random.bounded(int(valid.size()) + 1)) +
                        QByteArray(random.bounded(50), char(random.bounded(256)));
                break;
            }
            return bytes;
        };
        constexpr int kBatches = 20;
        constexpr int kPerBatch = 10; // below the connection cap
        for (int batch = 0; batch < kBatches; ++batch) {
            std::vector<std::unique_ptr<RawHttpClient>> clients;
            for (int i = 0; i < kPerBatch; ++i) {
                clients.push_back(std::make_unique<RawHttpClient>(fixture->port));
                clients.back()->send(garbage(batch * kPerBatch + i));
            }
            for (const auto& client : clients) {
                QVERIFY2(client->waitClosed(5s), qPrintable(QString::number(batch)));
                const QByteArray answer = client->received();
                QVERIFY(answer.isEmpty() || answer.startsWith("HTTP/1.1 "));
            }
        }
        QVERIFY(fixture->server.isListening());
        const QByteArray response = chat(R"([{"role":"user","content":"still there?"}])");
        QCOMPARE(response, kJsonLinesHeader + "{\"content\":\"ok\"}\n{\"done\":true}\n");
    }
};

QTEST_GUILESS_MAIN(LocalServerTest)
#include "tst_local_server.moc"
