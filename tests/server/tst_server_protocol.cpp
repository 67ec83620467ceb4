// The server's parts that need no socket: the request reader at every split
// and size boundary, the chat body rules, the access key, the host guard and
// the choice of the address shown to the user.

#include "server/access_key.h"
#include "server/chat_request.h"
#include "server/http_request_reader.h"
#include "server/local_address.h"
#include "server/request_guard.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

using Outcome = HttpRequestReader::Outcome;

Q_DECLARE_METATYPE(HttpRequestReader::Outcome)
Q_DECLARE_METATYPE(QList<InterfaceSnapshot>)

namespace {

// An up, running interface with one address, changed by the words in `traits`.
InterfaceSnapshot interface(const QString& name, const QString& address,
                            const QString& traits = {}) {
    return {name,
            !traits.contains("down"),
            !traits.contains("no carrier"),
            traits.contains("loopback"),
            traits.contains("wireless"),
            traits.contains("bridge"),
            {QHostAddress(address)}};
}

} // namespace

class ServerProtocolTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readerCompletesAtEverySplit() {
        const QByteArray request = "POST /api/chat?key=k HTTP/1.1\r\nHost: h:1\r\n"
                                   "Content-Length: 12\r\n\r\n{\"a\":\"b\"}  xTRAILING";
        for (qsizetype chunk = 1; chunk <= request.size(); ++chunk) {
            HttpRequestReader reader;
            Outcome outcome = Outcome::needMore;
            for (qsizetype at = 0; at < request.size() && outcome == Outcome::needMore;
                 at += chunk) {
                outcome = reader.append(request.mid(at, chunk));
            }
            QCOMPARE(outcome, Outcome::complete);
            QCOMPARE(reader.finish(), Outcome::complete);
            const HttpRequest& read = reader.request();
            QCOMPARE(QString(read.method + ' ' + read.path() + '?' + read.query()),
                     QStringLiteral("POST /api/chat?key=k"));
            QCOMPARE(read.body, QByteArray("{\"a\":\"b\"}  x"));
            QCOMPARE(read.header(QStringLiteral("host")), QStringLiteral("h:1"));
        }
    }

    void readerOutcomes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QByteArray>("body");
        const auto row = [](const char* name, const QByteArray& bytes, Outcome outcome,
                            const QByteArray& body = {}) {
            QTest::newRow(name) << bytes << outcome << body;
        };
        row("no length, empty body", "GET / HTTP/1.1\r\n\r\nextra", Outcome::complete);
        row("plus sign", "P / H\r\nContent-Length: +2\r\n\r\nabc", Outcome::complete, "ab");
        row("name padded, mixed case", "P / H\r\n \tCoNtEnT-LeNgTh\t : 3 \r\n\r\nabcd",
            Outcome::complete, "abc");
        row("first length wins", "P / H\r\nContent-Length: 1\r\nContent-Length: 3\r\n\r\nabc",
            Outcome::complete, "a");
        row("line without value skipped", "P / H\r\nContent-Length:\r\nContent-Length: 2\r\n\r\nab",
            Outcome::complete, "ab");
        row("body pending", "P / H\r\nContent-Length: 5\r\n\r\nab", Outcome::needMore);
        row("one word", "GET\r\n\r\n", Outcome::malformed);
        row("not UTF-8", "GET /\xff\xfe HTTP/1.1\r\n\r\n", Outcome::malformed);
        row("negative", "P / H\r\nContent-Length: -3\r\n\r\n", Outcome::invalidLength);
        row("trailing letters", "P / H\r\nContent-Length: 12abc\r\n\r\n", Outcome::invalidLength);
        row("past the cap", "P / H\r\nContent-Length: 1048577\r\n\r\n", Outcome::bodyTooLarge);
        row("would overflow", "P / H\r\nContent-Length: 99999999999999999999999\r\n\r\n",
            Outcome::bodyTooLarge);
    }
    void readerOutcomes() {
        QFETCH(QByteArray, bytes);
        QFETCH(Outcome, outcome);
        QFETCH(QByteArray, body);
        HttpRequestReader reader;
        QCOMPARE(reader.append(bytes), outcome);
        if (outcome == Outcome::complete) {
            QCOMPARE(reader.request().body, body);
        } else if (outcome == Outcome::needMore) {
            QCOMPARE(reader.finish(), Outcome::malformed); // the peer stopped half-way
        } else {
            QCOMPARE(reader.append("more"), outcome); // a verdict given stays
        }
    }

    void readerHeaderSizeBoundary() {
        const auto headerOf = [](qsizetype length) {
            const QByteArray start = "GET / HTTP/1.1\r\nX: ";
            return start + QByteArray(length - start.size(), 'a');
        };
        const qsizetype cap = HttpRequestReader::kMaxHeaderSize;
        QCOMPARE(HttpRequestReader().append(headerOf(cap) + "\r\n\r\n"), Outcome::complete);
        QCOMPARE(HttpRequestReader().append(headerOf(cap + 1) + "\r\n\r\n"),
                 Outcome::headerTooLarge);
        // Without a terminator the verdict comes as soon as none can fit any more.
        HttpRequestReader unterminated;
        QCOMPARE(unterminated.append(headerOf(cap + 3)), Outcome::needMore);
        QCOMPARE(unterminated.append("a"), Outcome::headerTooLarge);
    }

    void chatBodies_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("lastUser");
        QTest::newRow("history")
            << QByteArray(
                   R"({"messages":[{"role":"user","content":"first"},{"role":"user","content":"last",)"
                   R"("lang":"en"},{"role":"assistant","content":"y"}],"other":5})")
            << true << "last";
        QTest::newRow("no user") << QByteArray(R"({"messages":[]})") << true << "";
        for (const char* refused :
             {"null", "", "messages=hello", R"([{"messages":[]}])", R"({"history":[]})",
              R"({"messages":{"role":"user"}})", R"({"messages":["hello"]})",
              R"({"messages":[[]]})", R"({"messages":[{"role":"user","content":true}]})",
              R"({"messages":[{"role":"user","content":null}]})",
              R"({"messages":[{"role":"user","content":{"a":"b"}}]})",
              R"({"messages":[{"role":"user","content":"a","n":1}]})",
              "{\"messages\":[{\"role\":\"us"}) {
            QTest::newRow(*refused ? refused : "empty") << QByteArray(refused) << false << "";
        }
    }
    void chatBodies() {
        QFETCH(QByteArray, body);
        QFETCH(bool, accepted);
        QFETCH(QString, lastUser);
        const std::optional<ChatRequest> request = parseChatRequest(body);
        QCOMPARE(request.has_value(), accepted);
        if (request) {
            // Every message goes on unchanged, members the server does not know included.
            QCOMPARE(request->messages, QJsonDocument::fromJson(body)["messages"].toArray());
            QCOMPARE(request->lastUserText.value_or(QString()), lastUser);
        }
    }

    void theSystemPromptGoesFirstWhenThereIsOne() {
        const WireMessages phone = {QJsonObject{{"role", "user"}, {"content", "hi"}}};
        QCOMPARE(modelMessages(QString(), phone), phone);
        QCOMPARE(modelMessages(QStringLiteral("soul"), phone),
                 (WireMessages{QJsonObject{{"role", "system"}, {"content", "soul"}}, phone[0]}));
    }

    void accessKeysAreLongRandomAndUrlSafe() {
        const QString first = access_key::make();
        QVERIFY(first != access_key::make());
        // 128 bits in base64 without padding: 22 characters.
        QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9_-]{22}$")).match(first).hasMatch());
        QVERIFY(!access_key::queryCarries(QStringLiteral("key="), QString()));
    }

    void queryCarriesKey_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("carries");
        QTest::newRow("exact") << QStringLiteral("key=Ab-_9") << true;
        QTest::newRow("among others") << QStringLiteral("x=1&key=Ab-_9&y") << true;
        QTest::newRow("percent-encoded") << QStringLiteral("key=Ab%2D_9") << true;
        QTest::newRow("wrong") << QStringLiteral("key=Ab-_8") << false;
        QTest::newRow("prefix") << QStringLiteral("key=Ab-_") << false;
        QTest::newRow("empty value") << QStringLiteral("key=") << false;
    }
    void queryCarriesKey() {
        QFETCH(QString, query);
        QFETCH(bool, carries);
        QCOMPARE(access_key::queryCarries(query, QStringLiteral("Ab-_9")), carries);
    }

    void guardChecksHostAndOrigin_data() {
        QTest::addColumn<QString>("host");   // empty: no Host header
        QTest::addColumn<QString>("origin"); // empty: no Origin header
        QTest::addColumn<bool>("accepted");
        QTest::newRow("lan address") << "192.168.1.7:8080" << QString() << true;
        QTest::newRow("ipv6") << "[fd00::2]:8080" << QString() << true;
        QTest::newRow("own origin") << "192.168.1.7:8080"
                                    << "http://192.168.1.7:8080" << true;
        QTest::newRow("origin of another own name") << "192.168.1.7:8080"
                                                    << "http://localhost:8080" << false;
        QTest::newRow("https origin") << "localhost:8080"
                                      << "https://localhost:8080" << false;
        QTest::newRow("unknown address") << "192.168.1.8:8080" << QString() << false;
        QTest::newRow("no host") << QString() << QString() << false;
        QTest::newRow("learnt later") << "10.0.0.9:8080" << QString() << true;
    }
    void guardChecksHostAndOrigin() {
        QFETCH(QString, host);
        QFETCH(QString, origin);
        QFETCH(bool, accepted);
        QStringList names{"localhost", "127.0.0.1", "192.168.1.7", "[fd00::2]"};
        RequestGuard guard(8080, [&names] { return names; });
        HttpRequest request;
        if (!host.isEmpty()) {
            request.headers.append({QStringLiteral("host"), host});
        }
        if (!origin.isEmpty()) {
            request.headers.append({QStringLiteral("origin"), origin});
        }
        names.append(QStringLiteral("10.0.0.9")); // a new lease after the start
        QCOMPARE(guard.isOwnRequest(request), accepted);
    }

    void privateAddresses() {
        for (const char* address : {"10.255.0.1", "172.16.0.1", "172.31.255.254", "192.168.0.10"}) {
            QVERIFY2(isPrivateIPv4(QHostAddress(address)), address);
        }
        for (const char* address : {"172.32.0.1", "172.15.0.1", "192.169.0.10", "192.0.2.2",
                                    "127.0.0.1", "169.254.3.3", "fd00::2"}) {
            QVERIFY2(!isPrivateIPv4(QHostAddress(address)), address);
        }
    }

    void chooseLocalAddress_data() {
        QTest::addColumn<QList<InterfaceSnapshot>>("interfaces");
        QTest::addColumn<QString>("chosen");
        const InterfaceSnapshot wifi = interface("wlp2s0", "192.168.1.20", "wireless");
        const InterfaceSnapshot wired = interface("enp3s0", "10.1.1.5");
        InterfaceSnapshot dualStack = interface("eth0", "fd00::5");
        dualStack.addresses.append(QHostAddress(QStringLiteral("192.168.4.4")));
        using List = QList<InterfaceSnapshot>;
        QTest::newRow("nothing") << List{} << "localhost";
        QTest::newRow("wired before wireless") << List{wifi, wired} << "10.1.1.5";
        QTest::newRow("first wired wins")
            << List{wired, interface("enp4s0", "10.9.9.9")} << "10.1.1.5";
        QTest::newRow("unusable skipped")
            << List{interface("lo", "10.0.0.1", "loopback"), interface("eth1", "10.0.0.2", "down"),
                    interface("eth2", "10.0.0.3", "no carrier"),
                    interface("docker0", "172.17.0.1", "bridge"), wifi}
            << "192.168.1.20";
        QTest::newRow("public only") << List{interface("eth0", "192.0.2.2")} << "localhost";
        QTest::newRow("ipv4 beside ipv6") << List{dualStack} << "192.168.4.4";
    }
    void chooseLocalAddress() {
        QFETCH(QList<InterfaceSnapshot>, interfaces);
        QFETCH(QString, chosen);
        QCOMPARE(::chooseLocalAddress(interfaces), chosen);
    }

    void machineHostNamesIncludeLoopbackNames() {
        const QStringList names = machineHostNames();
        QVERIFY(names.contains("localhost") && names.contains("127.0.0.1"));
        QVERIFY(names.filter("%").isEmpty()); // no scope ids
    }
};

QTEST_GUILESS_MAIN(ServerProtocolTest)
#include "tst_server_protocol.moc"
