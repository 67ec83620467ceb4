// The phone server over real loopback sockets: exact bytes of every answer,
// the chat exchange and its hooks, the refusals that keep other web sites and
// other machines' names out, and the defences against clients that hold
// connections open, leave half-way or come many at once.

#include "raw_http_client.h"
#include "server/phone_page.h"
#include "server_fixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QUrl>
#include <QtTest>

#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

const QByteArray kJsonLinesHeader = "HTTP/1.1 200 OK\r\nContent-Type: application/x-ndjson\r\n"
                                    "Cache-Control: no-cache\r\nConnection: close\r\n\r\n";
const QByteArray kGreeting = "{\"content\":\"Hel\"}\n{\"content\":\"lo \\\"wörld\\\"\"}\n"
                             "{\"content\":\"\\n😀\"}\n{\"done\":true}\n";

QByteArray complete(const QByteArray& status, const QByteArray& type, const QByteArray& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}
QByteArray plain(const QByteArray& code, const QByteArray& reason) {
    return complete(code + ' ' + reason, "text/plain", reason);
}

// A request whose Host names PORT; KEY, PORT and HOST (the shown address) are filled in later.
QByteArray pattern(const QByteArray& method, const QByteArray& target, const QByteArray& body = {},
                   const QByteArray& headers = {}) {
    return requestBytes(method, target, 0, body, headers).replace(":0\r\n", ":PORT\r\n");
}

QByteArray statusLine(const QByteArray& response) {
    return response.left(response.indexOf("\r\n"));
}

// Sockets that each send a byte now and then and never finish a request; one
// that is dropped comes straight back, as an attacker's would.
struct Slowloris {
    Slowloris(quint16 port, int count) : port(port) {
        while (count-- > 0) {
            connectOne();
        }
        QObject::connect(&trickle, &QTimer::timeout, [this] {
            for (const auto& socket : sockets) {
                socket->write("X");
            }
        });
        trickle.start(50ms);
    }
    ~Slowloris() {
        for (const auto& socket : sockets) {
            socket->disconnect(); // a socket closed now must not reconnect
        }
    }
    void connectOne() {
        QTcpSocket* socket = sockets.emplace_back(std::make_unique<QTcpSocket>()).get();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] {
            ++reconnections;
            connectOne();
        });
        socket->connectToHost(QHostAddress::LocalHost, port);
        socket->write("GET / HTTP/1.1\r\n");
    }
    quint16 port;
    QTimer trickle;
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    int reconnections = 0;
};

} // namespace

class LocalServerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ServerFixture> fixture;

    // Sends the bytes on a new connection and returns the answer once the server has closed it.
    QByteArray exchange(const QByteArray& bytes) {
        RawHttpClient client(fixture->port);
        client.send(bytes);
        return client.waitClosed() ? client.received() : "not closed";
    }
    QByteArray chat(const QByteArray& text) {
        return exchange(requestBytes("POST", fixture->chatTarget(), fixture->port, chatBody(text)));
    }
    std::vector<std::unique_ptr<RawHttpClient>> clients(int count, const QByteArray& bytes) {
        std::vector<std::unique_ptr<RawHttpClient>> list;
        while (count-- > 0) {
            list.push_back(std::make_unique<RawHttpClient>(fixture->port));
            list.back()->send(bytes);
        }
        return list;
    }

private Q_SLOTS:
    void init() {
        fixture = std::make_unique<ServerFixture>();
        fixture->script.pieces = QStringList{"Hel", "lo \"wörld\"", "\n😀"};
        QVERIFY(fixture->start());
    }
    void cleanup() { fixture.reset(); }

    void reportsAddressWithRealPortAndFreshKey() {
        const QRegularExpression shape(QStringLiteral(
            R"(^http://(localhost|10\.\d+\.\d+\.\d+|172\.\d+\.\d+\.\d+|192\.168\.\d+\.\d+):(\d+)/\?key=[A-Za-z0-9_-]{22,}$)"));
        const QRegularExpressionMatch match = shape.match(*fixture->statusReports.last().second);
        QVERIFY2(match.hasMatch(), qPrintable(*fixture->statusReports.last().second));
        QCOMPARE(match.captured(2).toInt(), int(fixture->server->listeningPort()));

        fixture->server->stop();
        QCOMPARE(fixture->statusReports.last(), (std::pair<bool, std::optional<QString>>{}));
        const QString oldKey = fixture->key;
        QVERIFY(fixture->start());
        QVERIFY(fixture->key != oldKey);
        QCOMPARE(
            statusLine(exchange(requestBytes("GET", "/?key=" + oldKey.toUtf8(), fixture->port))),
            "HTTP/1.1 403 Forbidden");

        // A port in use: reported as not running.
        ServerFixture second;
        second.server->port = fixture->port;
        QVERIFY(!second.start());
        QCOMPARE(second.statusReports.size(), 1);
        QCOMPARE(second.statusReports.first(), (std::pair<bool, std::optional<QString>>{}));
    }

    void answers_data() {
        QTest::addColumn<QByteArray>("request");
        // A whole answer, or only its status line.
        QTest::addColumn<QByteArray>("expected");
        const QByteArray ok = "HTTP/1.1 200 OK";
        const QByteArray forbidden = "HTTP/1.1 403 Forbidden";
        const QByteArray notFound = plain("404", "Not Found");
        const QByteArray badRequest = plain("400", "Bad Request");
        const QByteArray preflight = "HTTP/1.1 204 No Content\r\n"
                                     "Access-Control-Allow-Methods: POST, GET, OPTIONS\r\n"
                                     "Access-Control-Allow-Headers: Content-Type\r\n"
                                     "Connection: close\r\n\r\n";
        const QByteArray chat = chatBody("q");
        // Host, origin, key and body rules are checked one by one without a socket; here
        // each kind of answer once, to show it reaches the wire intact.
        QTest::newRow("page") << pattern("GET", "/?key=KEY")
                              << complete("200 OK", "text/html; charset=utf-8", phonePage());
        QTest::newRow("shown address")
            << QByteArray("GET /?key=KEY HTTP/1.1\r\nHost: HOST:PORT\r\n\r\n") << ok;
        QTest::newRow("other path") << pattern("GET", "/favicon.ico?key=KEY") << notFound;
        QTest::newRow("POST page") << pattern("POST", "/?key=KEY", chat) << notFound;
        QTest::newRow("GET chat") << pattern("GET", "/api/chat?key=KEY") << notFound;
        QTest::newRow("method case") << pattern("get", "/?key=KEY") << notFound;
        QTest::newRow("page without key") << pattern("GET", "/") << forbidden;
        QTest::newRow("chat without key") << pattern("POST", "/api/chat", chat) << forbidden;
        QTest::newRow("foreign origin")
            << pattern("POST", "/api/chat?key=KEY", chat, "Origin: null\r\n") << forbidden;
        QTest::newRow("rebound name")
            << QByteArray("GET /?key=KEY HTTP/1.1\r\nHost: attacker.example:PORT\r\n\r\n")
            << forbidden;
        QTest::newRow("preflight chat") << pattern("OPTIONS", "/api/chat") << preflight;
        QTest::newRow("preflight star") << pattern("OPTIONS", "*") << preflight;
        QTest::newRow("length in words")
            << pattern("POST", "/api/chat?key=KEY", {}, "Content-Length: ten\r\n") << badRequest;
        QTest::newRow("not JSON") << pattern("POST", "/api/chat?key=KEY", "messages=q")
                                  << badRequest;
        QTest::newRow("header never ends")
            << pattern("GET", "/?key=KEY", {}, "X: " + QByteArray(70 * 1024, 'a')).chopped(4)
            << plain("431", "Request Header Fields Too Large");
        // The refused body is still arriving: the answer must not be lost to a reset.
        QTest::newRow("body too large")
            << pattern("POST", "/api/chat?key=KEY", {}, "Content-Length: 2097152\r\n") +
                   QByteArray(2 << 20, 'x')
            << plain("413", "Payload Too Large");
    }
    void answers() {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        request.replace("KEY", fixture->key.toUtf8())
            .replace("PORT", QByteArray::number(fixture->port))
            .replace("HOST", QUrl(*fixture->statusReports.last().second).host().toUtf8());
        const QByteArray response = exchange(request);
        if (expected.contains("\r\n\r\n")) {
            QCOMPARE(response, expected);
        } else {
            QCOMPARE(statusLine(response), expected);
        }
        QVERIFY(!response.contains("Access-Control-Allow-Origin"));
        QCOMPARE(fixture->modelRequests.isEmpty(), !response.startsWith(kJsonLinesHeader));
    }

    void streamsEveryPieceAsOneLineThenDone() {
        const QByteArray history = R"([{"role":"user","content":"Hi <b>there</b>"},)"
                                   R"({"role":"assistant","content":"x","name":"n"}])";
        QCOMPARE(exchange(requestBytes("POST", fixture->chatTarget(), fixture->port,
                                       "{\"messages\":" + history + "}")),
                 kJsonLinesHeader + kGreeting);
        QCOMPARE(fixture->modelRequests.value(0), QJsonDocument::fromJson(history).array());
        QTRY_COMPARE(fixture->events, (QStringList{"user:Hi <b>there</b>", "token:Hel",
                                                   "token:lo \"wörld\"", "token:\n😀", "done"}));
    }

    void anErrorEndsTheReplyAfterItsPieces() {
        fixture->script.pieces = QStringList{"Partial"};
        fixture->script.failure = QStringLiteral("Ollama is not running.");
        QCOMPARE(chat("x"), kJsonLinesHeader + "{\"content\":\"Partial\"}\n"
                                               "{\"error\":\"Ollama is not running.\"}\n");
        QTRY_COMPARE(fixture->events, (QStringList{"user:x", "token:Partial", "done"}));
        // Without a stream at all the reply is just the header.
        fixture->provideStreams = false;
        QCOMPARE(chat("y"), kJsonLinesHeader);
    }

    // Trickled bytes, each well within the idle time, do not extend the deadline.
    void unfinishedRequestsAreDroppedAtTheirDeadline_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("trickle");
        QTest::newRow("silent") << QByteArray() << false;
        QTest::newRow("half a header") << QByteArray("GET / HTTP/1.1\r\nHost: 1") << false;
        QTest::newRow("body pending")
            << QByteArray("POST /api/chat HTTP/1.1\r\nContent-Length: 100\r\n\r\n{") << false;
        QTest::newRow("trickled header") << QByteArray("GET / HTTP/1.1\r\nX: ") << true;
        QTest::newRow("trickled body")
            << QByteArray("POST /api/chat HTTP/1.1\r\nContent-Length: 9999\r\n\r\n") << true;
    }
    void unfinishedRequestsAreDroppedAtTheirDeadline() {
        QFETCH(QByteArray, sent);
        QFETCH(bool, trickle);
        fixture->server->setTimeouts({.header = 300ms, .body = 300ms, .idle = 10s});
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
        fixture->server->setTimeouts({.idle = 100ms});
        fixture->script.firstDelay = 400ms;
        fixture->script.interval = 150ms;
        QCOMPARE(chat("slow"), kJsonLinesHeader + kGreeting);
    }

    void aRequestFollowedByAHalfCloseIsAnswered_data() {
        QTest::addColumn<bool>("isChat");
        QTest::newRow("page") << false;
        QTest::newRow("chat") << true;
    }
    void aRequestFollowedByAHalfCloseIsAnswered() {
        QFETCH(bool, isChat);
        fixture->script.interval = 20ms; // still streaming after the half-close
        RawHttpClient client(fixture->port);
        QVERIFY(client.waitConnected());
        client.send(isChat
                        ? requestBytes("POST", fixture->chatTarget(), fixture->port, chatBody("q"))
                        : requestBytes("GET", fixture->pageTarget(), fixture->port));
        client.finishSending();
        QVERIFY(client.waitClosed());
        QCOMPARE(client.body(), isChat ? kGreeting : phonePage());
        QTRY_COMPARE(fixture->server->connectionCount(), 0);
    }

    void peersThatLeaveFreeTheirPlaceAtOnce_data() {
        QTest::addColumn<bool>("halfClose");
        QTest::newRow("closed") << false;
        QTest::newRow("half-closed") << true;
    }
    void peersThatLeaveFreeTheirPlaceAtOnce() {
        QFETCH(bool, halfClose);
        const auto peers = clients(10, "GET / HT"); // unfinished requests
        QTRY_COMPARE(fixture->server->connectionCount(), 10);
        for (const auto& peer : peers) {
            halfClose ? peer->finishSending() : peer->close();
        }
        QTRY_COMPARE(fixture->server->connectionCount(), 0);
    }

    void whenEveryPlaceIsBeingAnsweredNewcomersAreClosed() {
        fixture->server->setMaxConnections(3);
        fixture->script.firstDelay = 1h; // held in progress until finished below
        const auto chats =
            clients(3, requestBytes("POST", fixture->chatTarget(), fixture->port, chatBody("q")));
        for (const auto& client : chats) {
            QVERIFY(client->waitForBytes(kJsonLinesHeader.size()));
        }
        RawHttpClient extra(fixture->port);
        extra.send(requestBytes("GET", fixture->pageTarget(), fixture->port));
        QVERIFY(extra.waitClosed(5s));
        QVERIFY(extra.received().isEmpty());
        for (const QPointer<TextPieceStream>& stream : fixture->streams) {
            stream->finish();
        }
        for (const auto& client : chats) {
            QVERIFY(client->waitClosed());
            QCOMPARE(client->body(), "{\"done\":true}\n");
        }
    }

    void slowlorisDoesNotLockThePhoneOut() {
        fixture->script.pieces = QStringList{"still here"};
        Slowloris slowloris(fixture->port, 40); // the real deadlines: never cut short
        QTRY_COMPARE(fixture->server->connectionCount(), LocalServer::kDefaultMaxConnections);
        for (int phone = 0; phone < 5; ++phone) {
            RawHttpClient client(fixture->port);
            client.send(requestBytes("POST", fixture->chatTarget(), fixture->port, chatBody("hi")));
            QVERIFY2(client.waitClosed(5s), "the phone was kept waiting");
            QCOMPARE(client.body(), "{\"content\":\"still here\"}\n{\"done\":true}\n");
        }
        QVERIFY(slowloris.reconnections > 0); // the places were really taken
    }

    void twentyClientsBelowTheCapAreAllAnsweredRoundAfterRound() {
        for (int round = 0; round < 3; ++round) {
            const auto chats = clients(
                20, requestBytes("POST", fixture->chatTarget(), fixture->port, chatBody("q")));
            for (const auto& client : chats) {
                QVERIFY(client->waitClosed());
                QCOMPARE(client->body(), kGreeting);
            }
        }
    }

    void thePhoneLeavingMidReplyKeepsTheDesktopMirror() {
        fixture->script.pieces = QStringList{"a", "b", "c"};
        fixture->script.interval = 50ms;
        RawHttpClient client(fixture->port);
        client.send(requestBytes("POST", fixture->chatTarget(), fixture->port, chatBody("q")));
        QVERIFY(client.waitForBytes(kJsonLinesHeader.size() + 1));
        client.close();
        QTRY_COMPARE(fixture->events,
                     (QStringList{"user:q", "token:a", "token:b", "token:c", "done"}));
        QCOMPARE(statusLine(chat("again")), "HTTP/1.1 200 OK");
    }

    // The owner may stop or drop the server at any time; the phone gets what was sent,
    // the model's stream plays to its end without anybody listening.
    void stoppingOrDeletingEndsRepliesInProgress_data() {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("stopped") << false;
        QTest::newRow("deleted") << true;
    }
    void stoppingOrDeletingEndsRepliesInProgress() {
        QFETCH(bool, deleted);
        fixture->script.interval = 100ms;
        RawHttpClient client(fixture->port);
        client.send(requestBytes("POST", fixture->chatTarget(), fixture->port, chatBody("q")));
        QTRY_COMPARE(fixture->events, (QStringList{"user:q", "token:Hel"}));
        deleted ? fixture->server.reset() : fixture->server->stop();
        QVERIFY(client.waitClosed(5s));
        QCOMPARE(client.body(), "{\"content\":\"Hel\"}\n");
        QTRY_VERIFY(!fixture->streams.value(0));
        QCOMPARE(fixture->events.size(), 2);
        QCOMPARE(fixture->statusReports.last().first, deleted); // a deleted server says nothing
    }
};

QTEST_GUILESS_MAIN(LocalServerTest)
#include "tst_local_server.moc"
