// Many phones at once: every chat gets every piece, in order, nothing lost or
// mixed up between connections; below the cap nobody is turned away, and
// clients that hold connections open by trickling bytes cannot lock a phone
// out. The elapsed time is printed, not asserted.

#include "raw_http_client.h"
#include "server_fixture.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QtTest>

#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Sockets that each send a byte now and then and never finish a request; one
// that is dropped comes straight back, as an attacker's would.
class Slowloris {
public:
    Slowloris(quint16 port, int count) : m_port(port) {
        for (int i = 0; i < count; ++i) {
            connectOne();
        }
        QObject::connect(&m_trickle, &QTimer::timeout, [this] {
            for (const auto& socket : m_sockets) {
                if (socket->state() == QAbstractSocket::ConnectedState) {
                    socket->write("X");
                }
            }
        });
        m_trickle.start(50ms);
    }
    ~Slowloris() {
        for (const auto& socket : m_sockets) {
            socket->disconnect(); // a socket closed now must not reconnect
        }
    }
    int reconnections = 0;

private:
    void connectOne() {
        QTcpSocket* socket = m_sockets.emplace_back(std::make_unique<QTcpSocket>()).get();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] {
            ++reconnections;
            connectOne();
        });
        socket->connectToHost(QHostAddress::LocalHost, m_port);
        socket->write("GET / HTTP/1.1\r\n");
    }

    quint16 m_port;
    QTimer m_trickle;
    std::vector<std::unique_ptr<QTcpSocket>> m_sockets;
};

QByteArray chatRequest(const ServerFixture& fixture, const QByteArray& text) {
    return requestBytes("POST", fixture.chatTarget(), fixture.port,
                        chatBody("[{\"role\":\"user\",\"content\":\"" + text + "\"}]"));
}

} // namespace

class ServerLoadTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void slowlorisDoesNotLockThePhoneOut() {
        ServerFixture fixture;
        fixture.script.pieces = QStringList{QStringLiteral("still here")};
        QVERIFY(fixture.start()); // the real deadlines: the trickling is never cut short
        Slowloris slowloris(fixture.port, 40);
        QTRY_COMPARE(fixture.server.connectionCount(), LocalServer::kDefaultMaxConnections);
        for (int phone = 0; phone < 5; ++phone) {
            RawHttpClient client(fixture.port);
            client.send(chatRequest(fixture, "hi"));
            QVERIFY2(client.waitClosed(5s), "the phone was kept waiting");
            QCOMPARE(client.body(), QByteArray("{\"content\":\"still here\"}\n{\"done\":true}\n"));
        }
        QVERIFY(slowloris.reconnections > 0); // the places were really taken
    }

    void twentyConcurrentClientsAreAllAnsweredRoundAfterRound() {
        constexpr int kClients = 20; // below the cap of 32
        ServerFixture fixture;
        fixture.script.pieces = QStringList{QStringLiteral("a"), QStringLiteral("b")};
        QVERIFY(fixture.start());
        for (int round = 0; round < 5; ++round) {
            std::vector<std::unique_ptr<RawHttpClient>> clients;
            for (int i = 0; i < kClients; ++i) {
                clients.push_back(std::make_unique<RawHttpClient>(fixture.port));
                clients.back()->send(chatRequest(fixture, "q"));
            }
            for (const auto& client : clients) {
                QVERIFY(client->waitClosed());
                QCOMPARE(client->body(),
                         QByteArray("{\"content\":\"a\"}\n{\"content\":\"b\"}\n{\"done\":true}\n"));
            }
        }
    }

    void fiftyConcurrentChatsOfTwoHundredPieces() {
        constexpr int kChats = 50;
        constexpr int kPieces = 200;
        ServerFixture fixture;
        // Each chat's pieces name the chat, so a piece sent to the wrong phone shows.
        fixture.replies.reply = [](WireMessages messages) {
            const QString chat = messages.last().toObject().value("content").toString();
            StreamScript script;
            for (int i = 0; i < kPieces; ++i) {
                script.pieces.append(chat + '.' + QString::number(i) + ' ');
            }
            return playScript(script);
        };
        // All fifty at once, beyond the everyday cap of 32: this measures the
        // streaming, not the refusal.
        fixture.server.setMaxConnections(kChats);
        QVERIFY(fixture.start());

        QElapsedTimer elapsed;
        elapsed.start();
        std::vector<std::unique_ptr<RawHttpClient>> clients;
        for (int chat = 0; chat < kChats; ++chat) {
            clients.push_back(std::make_unique<RawHttpClient>(fixture.port));
            const QByteArray body =
                chatBody("[{\"role\":\"user\",\"content\":\"c" + QByteArray::number(chat) + "\"}]");
            clients.back()->send(requestBytes("POST", fixture.chatTarget(), fixture.port, body));
        }
        for (const auto& client : clients) {
            QVERIFY(client->waitClosed(std::chrono::seconds(60)));
        }
        const qint64 milliseconds = elapsed.elapsed();

        for (int chat = 0; chat < kChats; ++chat) {
            const QList<QByteArray> lines = clients[chat]->body().split('\n');
            QCOMPARE(lines.size(), kPieces + 2); // pieces, done, and the empty rest after it
            for (int i = 0; i < kPieces; ++i) {
                const QString expected = QStringLiteral("c%1.%2 ").arg(chat).arg(i);
                QCOMPARE(QJsonDocument::fromJson(lines[i]).object().value("content").toString(),
                         expected);
            }
            QCOMPARE(lines[kPieces], QByteArray("{\"done\":true}"));
            QVERIFY(lines.last().isEmpty());
        }
        QTRY_COMPARE(fixture.events.count(QStringLiteral("done")), kChats);
        QCOMPARE(fixture.events.size(), kChats * (kPieces + 2));
        qInfo("%d chats x %d pieces over loopback: %lld ms", kChats, kPieces, milliseconds);
    }
};

QTEST_GUILESS_MAIN(ServerLoadTest)
#include "tst_server_load.moc"
