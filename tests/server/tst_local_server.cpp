// The phone server over real loopback sockets: exact bytes of every answer,
// the chat exchange and its hooks, the refusals that keep other web sites and
// other machines' names out, and the defences against clients that hold
// connections open, leave half-way or come many at once. Tables:
// tests/data/server/local_server.json.

#include "server/phone_page.h"
#include "server_fixture.h"
#include "support/json_rows.h"
#include "support/raw_http_client.h"

#include <QRegularExpression>
#include <QUrl>
#include <QtTest>

#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

const QString table = "server/local_server.json";
const QByteArray kJsonLinesHeader = "HTTP/1.1 200 OK\r\nContent-Type: application/x-ndjson\r\n"
                                    "Cache-Control: no-cache\r\nConnection: close\r\n\r\n";
const QByteArray kBusy =
    "HTTP/1.1 503 Service Unavailable\r\nContent-Type: application/json\r\nContent-Length: 78\r\n"
    "Retry-After: 1\r\nConnection: close\r\n\r\n"
    "{\"error\":\"The computer is busy answering other chats: try again in a moment.\"}";
const QByteArray kGreeting = "{\"content\":\"Hel\"}\n{\"content\":\"lo \\\"wörld\\\"\"}\n"
                             "{\"content\":\"\\n😀\"}\n{\"done\":true}\n";

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
    void connectOne() {
        QTcpSocket* socket = sockets.emplace_back(std::make_unique<QTcpSocket>()).get();
        QObject::connect(socket, &QTcpSocket::disconnected, &alive, [this] {
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
    QObject alive; // gone first: a socket closed at the end must not reconnect
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
    QByteArray chat(const QByteArray& text) { return exchange(fixture->chatRequest(text)); }
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
        // The fixture connects to the port named, in every test.
        QVERIFY2(match.hasMatch(), qPrintable(*fixture->statusReports.last().second));

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

    // Host, origin, key and body rules are checked one by one without a socket; here
    // each kind of answer once, to show it reaches the wire intact: the whole answer,
    // or only its status line. The refused body is still arriving when answered: the
    // answer must not be lost to a reset.
    void answers_data() { addJsonRows(table, "answers"); }
    void answers() {
        QFETCH(QJsonObject, row);
        QByteArray request = jsonBytes(row.value("request"));
        request.replace("KEY", fixture->key.toUtf8())
            .replace("PORT", QByteArray::number(fixture->port))
            .replace("HOST", QUrl(*fixture->statusReports.last().second).host().toUtf8())
            .append(QByteArray(row.value("fill").toInt(), 'a'));
        const QByteArray response = exchange(request);
        if (row.contains("status")) {
            QCOMPARE(statusLine(response), jsonBytes(row.value("status")));
        } else {
            const QByteArray page = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                                    "Content-Length: " +
                                    QByteArray::number(phonePage().size()) +
                                    "\r\nConnection: close\r\n\r\n" + phonePage();
            QCOMPARE(response, row.contains("page") ? page : jsonBytes(row.value("answer")));
        }
        QVERIFY(!response.contains("Access-Control-Allow-Origin"));
        QCOMPARE(fixture->modelRequests.isEmpty(), !response.startsWith(kJsonLinesHeader));
    }

    void streamsEveryPieceAsOneLineThenTheEnd() {
        const QByteArray history = R"([{"role":"user","content":"Hi <b>there</b>"},)"
                                   R"({"role":"assistant","content":"x","name":"n"}])";
        QCOMPARE(exchange(requestBytes("POST", "/api/chat?key=" + fixture->key.toUtf8(),
                                       fixture->port, "{\"messages\":" + history + "}")),
                 kJsonLinesHeader + kGreeting);
        QCOMPARE(fixture->modelRequests.value(0), QJsonDocument::fromJson(history).array());
        QTRY_COMPARE(fixture->events, (QStringList{"user:Hi <b>there</b>", "token:Hel",
                                                   "token:lo \"wörld\"", "token:\n😀", "done"}));
        // Waiting for the model is not idle.
        fixture->server->setTimeouts({.idle = 100ms});
        fixture->script.firstDelay = 400ms;
        fixture->script.interval = 150ms;
        QCOMPARE(chat("slow"), kJsonLinesHeader + kGreeting);
        // An error ends the reply after its pieces; without a stream at all the
        // reply is just the header.
        fixture->events.clear();
        fixture->script.pieces = QStringList{"Partial"};
        fixture->script.failure = QStringLiteral("Ollama is not running.");
        QCOMPARE(chat("x"), kJsonLinesHeader + "{\"content\":\"Partial\"}\n"
                                               "{\"error\":\"Ollama is not running.\"}\n");
        QTRY_COMPARE(fixture->events, (QStringList{"user:x", "token:Partial", "done"}));
        fixture->provideStreams = false;
        QCOMPARE(chat("y"), kJsonLinesHeader);
    }

    // Trickled bytes, each well within the idle time, do not extend the deadline.
    void unfinishedRequestsAreDroppedAtTheirDeadline_data() { addJsonRows(table, "deadlines"); }
    void unfinishedRequestsAreDroppedAtTheirDeadline() {
        QFETCH(QJsonObject, row);
        fixture->server->setTimeouts({.header = 300ms, .body = 300ms, .idle = 10s});
        RawHttpClient client(fixture->port);
        client.send(jsonBytes(row.value("sent")));
        QTimer trickler;
        QObject::connect(&trickler, &QTimer::timeout, [&client] { client.send("a"); });
        if (row.value("trickle").toBool()) {
            trickler.start(20ms);
        }
        QVERIFY(client.waitClosed(5s));
        QVERIFY(client.received().isEmpty());
    }

    // A finished request followed by a half-close is answered (a chat: still
    // streaming after it); peers that leave half-way, closing or half-closing,
    // free their place at once.
    void halfClosesAndPeersThatLeave() {
        fixture->script.interval = 20ms;
        RawHttpClient client(fixture->port);
        QVERIFY(client.waitConnected());
        client.send(fixture->chatRequest("q"));
        client.finishSending();
        QVERIFY(client.waitClosed());
        QCOMPARE(client.body(), kGreeting);
        QTRY_COMPARE(fixture->server->connectionCount(), 0);
        for (const bool halfClose : {false, true}) {
            const auto peers = clients(10, "GET / HT"); // unfinished requests
            QTRY_COMPARE(fixture->server->connectionCount(), 10);
            for (const auto& peer : peers) {
                halfClose ? peer->finishSending() : peer->close();
            }
            QTRY_COMPARE(fixture->server->connectionCount(), 0);
        }
    }

    // As many chats as there are places are all answered (a place freed by a
    // finished reply: halfClosesAndPeersThatLeave).
    void newcomersAreClosedOnlyWhenEveryPlaceIsBeingAnswered() {
        fixture->server->setMaxConnections(3);
        fixture->script.pauseAfter = 0; // held in progress until finished below
        const auto chats = clients(3, fixture->chatRequest("q"));
        for (const auto& client : chats) {
            QVERIFY(client->waitForBytes(kJsonLinesHeader.size()));
        }
        // Newcomers are told so, each of them, before the connection closes.
        for (const auto& extra : clients(20, fixture->chatRequest("q"))) {
            QVERIFY(extra->waitClosed(5s));
            QCOMPARE(extra->received(), kBusy);
        }
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
            client.send(fixture->chatRequest("hi"));
            QVERIFY2(client.waitClosed(5s), "the phone was kept waiting");
            QCOMPARE(client.body(), "{\"content\":\"still here\"}\n{\"done\":true}\n");
        }
        QVERIFY(slowloris.reconnections > 0); // the places were really taken
    }

    void thePhoneLeavingMidReplyKeepsTheDesktopMirror() {
        fixture->script.pieces = QStringList{"a", "b", "c"};
        fixture->script.pauseAfter = 1;
        RawHttpClient client(fixture->port);
        client.send(fixture->chatRequest("q"));
        QVERIFY(client.waitForBytes(kJsonLinesHeader.size() + 1));
        client.close(); // while the reply waits after its first piece
        resumeScript(fixture->streams.value(0));
        QTRY_COMPARE(fixture->events,
                     (QStringList{"user:q", "token:a", "token:b", "token:c", "done"}));
        fixture->script.pauseAfter.reset();
        QCOMPARE(statusLine(chat("again")), "HTTP/1.1 200 OK");
    }

    // The owner may stop or drop the server at any time; the phone gets what was sent,
    // the model's stream plays to its end without anybody listening.
    void stoppingOrDeletingEndsRepliesInProgress_data() {
        addBoolRows("deleted", "stopped", "deleted");
    }
    void stoppingOrDeletingEndsRepliesInProgress() {
        QFETCH(bool, deleted);
        fixture->script.pauseAfter = 1;
        RawHttpClient client(fixture->port);
        client.send(fixture->chatRequest("q"));
        QTRY_COMPARE(fixture->events, (QStringList{"user:q", "token:Hel"}));
        deleted ? fixture->server.reset() : fixture->server->stop();
        QVERIFY(client.waitClosed(5s));
        QCOMPARE(client.body(), "{\"content\":\"Hel\"}\n");
        resumeScript(fixture->streams.value(0));
        QTRY_VERIFY(!fixture->streams.value(0));
        QCOMPARE(fixture->events.size(), 2);
        QCOMPARE(fixture->statusReports.last().first, deleted); // a deleted server says nothing
    }
};

QTEST_GUILESS_MAIN(LocalServerTest)
#include "tst_local_server.moc"
