// Many phones at once: every chat gets every piece, in order, nothing lost or
// mixed up between connections. The elapsed time is printed, not asserted.

#include "raw_http_client.h"
#include "server_fixture.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>
#include <vector>

class ServerLoadTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fiftyConcurrentChatsOfTwoHundredPieces() {
        constexpr int kChats = 50;
        constexpr int kPieces = 200;
        ServerFixture fixture;
        // Each chat's pieces name the chat, so a piece sent to the wrong phone shows.
        fixture.server.streamingServiceProvider = [](WireMessages messages) {
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
