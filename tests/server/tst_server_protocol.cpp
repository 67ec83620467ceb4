// The server's parts that need no socket: the request reader at every split
// and size boundary, the chat body rules, the access key, the host guard and
// the choice of the address shown to the user.

#include "server/access_key.h"
#include "server/chat_request.h"
#include "server/http_request_reader.h"
#include "server/local_address.h"
#include "server/request_guard.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

using Outcome = HttpRequestReader::Outcome;

Q_DECLARE_METATYPE(HttpRequestReader::Outcome)
Q_DECLARE_METATYPE(QList<InterfaceSnapshot>)

namespace {

InterfaceSnapshot interface(const QString& name, const QString& address, bool wireless = false) {
    InterfaceSnapshot snapshot;
    snapshot.name = name;
    snapshot.up = true;
    snapshot.running = true;
    snapshot.wireless = wireless;
    snapshot.addresses = {QHostAddress(address)};
    return snapshot;
}

HttpRequest withHeaders(QList<std::pair<QString, QString>> headers) {
    HttpRequest request;
    request.headers = std::move(headers);
    return request;
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
                outcome = reader.append(
                    QByteArrayView(request).sliced(at).first(std::min(chunk, request.size() - at)));
            }
            QCOMPARE(outcome, Outcome::complete);
            QCOMPARE(reader.request().method, QStringLiteral("POST"));
            QCOMPARE(reader.request().path(), QStringLiteral("/api/chat"));
            QCOMPARE(reader.request().query(), QStringLiteral("key=k"));
            QCOMPARE(reader.request().body, QByteArray("{\"a\":\"b\"}  x"));
            QCOMPARE(reader.request().header(QStringLiteral("host")), QStringLiteral("h:1"));
        }
    }

    void readerOutcomes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("no length, empty body")
            << QByteArray("GET / HTTP/1.1\r\n\r\nextra") << Outcome::complete << QByteArray();
        QTest::newRow("plus sign") << QByteArray("P / H\r\nContent-Length: +2\r\n\r\nabc")
                                   << Outcome::complete << QByteArray("ab");
        QTest::newRow("name padded, mixed case")
            << QByteArray("P / H\r\n \tCoNtEnT-LeNgTh\t : 3 \r\n\r\nabcd") << Outcome::complete
            << QByteArray("abc");
        QTest::newRow("first length wins")
            << QByteArray("P / H\r\nContent-Length: 1\r\nContent-Length: 3\r\n\r\nabc")
            << Outcome::complete << QByteArray("a");
        QTest::newRow("line without value skipped")
            << QByteArray("P / H\r\nContent-Length:\r\nContent-Length: 2\r\n\r\nab")
            << Outcome::complete << QByteArray("ab");
        QTest::newRow("request line is no header")
            << QByteArray("content-length: 9 H\r\n\r\n") << Outcome::complete << QByteArray();
        QTest::newRow("body pending") << QByteArray("P / H\r\nContent-Length: 5\r\n\r\nab")
                                      << Outcome::needMore << QByteArray();
        QTest::newRow("header pending")
            << QByteArray("GET / HTTP/1.1\r\n\r") << Outcome::needMore << QByteArray();
        QTest::newRow("one word") << QByteArray("GET\r\n\r\n") << Outcome::malformed
                                  << QByteArray();
        QTest::newRow("spaces only")
            << QByteArray("   \r\n\r\n") << Outcome::malformed << QByteArray();
        QTest::newRow("not UTF-8")
            << QByteArray("GET /\xff\xfe HTTP/1.1\r\n\r\n") << Outcome::malformed << QByteArray();
        QTest::newRow("negative") << QByteArray("P / H\r\nContent-Length: -3\r\n\r\n")
                                  << Outcome::invalidLength << QByteArray();
        QTest::newRow("hex") << QByteArray("P / H\r\nContent-Length: 0x10\r\n\r\n")
                             << Outcome::invalidLength << QByteArray();
        QTest::newRow("past the cap") << QByteArray("P / H\r\nContent-Length: 1048577\r\n\r\n")
                                      << Outcome::bodyTooLarge << QByteArray();
        QTest::newRow("would overflow")
            << QByteArray("P / H\r\nContent-Length: 99999999999999999999999\r\n\r\n")
            << Outcome::bodyTooLarge << QByteArray();
    }
    void readerOutcomes() {
        QFETCH(QByteArray, bytes);
        QFETCH(Outcome, outcome);
        QFETCH(QByteArray, body);
        HttpRequestReader reader;
        QCOMPARE(reader.append(bytes), outcome);
        if (outcome == Outcome::complete) {
            QCOMPARE(reader.request().body, body);
        }
        // More data never changes a verdict already given.
        if (outcome != Outcome::needMore) {
            QCOMPARE(reader.append("more"), outcome);
        }
    }

    void readerHeaderSizeBoundary() {
        const QByteArray start = "GET / HTTP/1.1\r\nX: ";
        auto headerOf = [&](qsizetype length) {
            return start + QByteArray(length - start.size(), 'a');
        };
        HttpRequestReader atCap;
        QCOMPARE(atCap.append(headerOf(HttpRequestReader::kMaxHeaderSize) + "\r\n\r\n"),
                 Outcome::complete);
        HttpRequestReader pastCap;
        QCOMPARE(pastCap.append(headerOf(HttpRequestReader::kMaxHeaderSize + 1) + "\r\n\r\n"),
                 Outcome::headerTooLarge);
        // Without a terminator the verdict comes as soon as none can fit any more.
        HttpRequestReader unterminated;
        QCOMPARE(unterminated.append(headerOf(HttpRequestReader::kMaxHeaderSize + 3)),
                 Outcome::needMore);
        QCOMPARE(unterminated.append("a"), Outcome::headerTooLarge);
    }

    void readerTerminatorAcrossReads() {
        HttpRequestReader reader;
        QCOMPARE(reader.append("GET / HTTP/1.1\r"), Outcome::needMore);
        QCOMPARE(reader.append("\n\r"), Outcome::needMore);
        QCOMPARE(reader.append("\n"), Outcome::complete);
    }

    void readerFinishBeforeCompleteIsMalformed() {
        HttpRequestReader reader;
        reader.append("POST / HTTP/1.1\r\nContent-Length: 4\r\n\r\nab");
        QCOMPARE(reader.finish(), Outcome::malformed);
        HttpRequestReader done;
        done.append("GET / HTTP/1.1\r\n\r\n");
        QCOMPARE(done.finish(), Outcome::complete);
    }

    void chatRequestKeepsMessagesAndFindsLastUser() {
        const std::optional<ChatRequest> request = parseChatRequest(
            R"({"messages":[{"role":"user","content":"first"},{"role":"assistant","content":"x"},)"
            R"({"role":"user","content":"last","lang":"en"},{"role":"assistant","content":"y"}],)"
            R"("other":5})");
        QVERIFY(request);
        QCOMPARE(request->lastUserText, QStringLiteral("last"));
        QCOMPARE(request->messages.size(), 4);
        QCOMPARE(request->messages[2].toObject().value(QStringLiteral("lang")),
                 QJsonValue(QStringLiteral("en")));
        QVERIFY(!parseChatRequest("null"));
        QVERIFY(!parseChatRequest(""));
        QVERIFY(!parseChatRequest(R"({"messages":[{"role":"user","content":true}]})"));
        QVERIFY(!parseChatRequest(R"({"messages":[[]]})"));
    }

    void modelMessagesPrependNonEmptyPrompt() {
        const WireMessages phone = {QJsonObject{{QStringLiteral("role"), QStringLiteral("user")},
                                                {QStringLiteral("content"), QStringLiteral("hi")}}};
        QCOMPARE(modelMessages(QString(), phone), phone);
        const WireMessages withPrompt = modelMessages(QStringLiteral("soul"), phone);
        QCOMPARE(withPrompt.size(), 2);
        QCOMPARE(withPrompt[0].toObject(),
                 (QJsonObject{{QStringLiteral("role"), QStringLiteral("system")},
                              {QStringLiteral("content"), QStringLiteral("soul")}}));
        QCOMPARE(withPrompt[1], phone[0]);
    }

    void accessKeysAreLongRandomAndUrlSafe() {
        const QString first = access_key::make();
        const QString second = access_key::make();
        QVERIFY(first != second);
        // 128 bits in base64 without padding: 22 characters.
        QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9_-]{22}$")).match(first).hasMatch());
    }

    void queryCarriesKey_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("carries");
        QTest::newRow("exact") << QStringLiteral("key=Ab-_9") << true;
        QTest::newRow("among others") << QStringLiteral("x=1&key=Ab-_9&y") << true;
        QTest::newRow("percent-encoded") << QStringLiteral("key=Ab%2D_9") << true;
        QTest::newRow("wrong") << QStringLiteral("key=Ab-_8") << false;
        QTest::newRow("prefix") << QStringLiteral("key=Ab-_") << false;
        QTest::newRow("longer") << QStringLiteral("key=Ab-_99") << false;
        QTest::newRow("empty value") << QStringLiteral("key=") << false;
        QTest::newRow("other name") << QStringLiteral("Key=Ab-_9") << false;
        QTest::newRow("no query") << QString() << false;
    }
    void queryCarriesKey() {
        QFETCH(QString, query);
        QFETCH(bool, carries);
        QCOMPARE(access_key::queryCarries(query, QStringLiteral("Ab-_9")), carries);
    }

    void emptyKeyMatchesNothing() {
        QVERIFY(!access_key::queryCarries(QStringLiteral("key="), QString()));
    }

    void guardChecksHostAndOrigin_data() {
        QTest::addColumn<QString>("host");   // empty: no Host header
        QTest::addColumn<QString>("origin"); // empty: no Origin header
        QTest::addColumn<bool>("accepted");
        QTest::newRow("lan address") << QStringLiteral("192.168.1.7:8080") << QString() << true;
        QTest::newRow("ipv6") << QStringLiteral("[fd00::2]:8080") << QString() << true;
        QTest::newRow("upper case") << QStringLiteral("LOCALHOST:8080") << QString() << true;
        QTest::newRow("own origin") << QStringLiteral("192.168.1.7:8080")
                                    << QStringLiteral("http://192.168.1.7:8080") << true;
        QTest::newRow("origin of another own name")
            << QStringLiteral("192.168.1.7:8080") << QStringLiteral("http://localhost:8080")
            << false;
        QTest::newRow("https origin") << QStringLiteral("localhost:8080")
                                      << QStringLiteral("https://localhost:8080") << false;
        QTest::newRow("unknown address")
            << QStringLiteral("192.168.1.8:8080") << QString() << false;
        QTest::newRow("wrong port") << QStringLiteral("localhost:8081") << QString() << false;
        QTest::newRow("no host") << QString() << QString() << false;
    }
    void guardChecksHostAndOrigin() {
        QFETCH(QString, host);
        QFETCH(QString, origin);
        QFETCH(bool, accepted);
        RequestGuard guard(8080, [] {
            return QStringList{QStringLiteral("localhost"), QStringLiteral("127.0.0.1"),
                               QStringLiteral("192.168.1.7"), QStringLiteral("[fd00::2]")};
        });
        QList<std::pair<QString, QString>> headers;
        if (!host.isEmpty()) {
            headers.append({QStringLiteral("host"), host});
        }
        if (!origin.isEmpty()) {
            headers.append({QStringLiteral("origin"), origin});
        }
        QCOMPARE(guard.isOwnRequest(withHeaders(headers)), accepted);
    }

    void guardLearnsAddressesThatAppearLater() {
        QStringList names = {QStringLiteral("localhost")};
        RequestGuard guard(80, [&names] { return names; });
        const HttpRequest request = withHeaders({{QStringLiteral("host"), "10.0.0.9:80"}});
        QVERIFY(!guard.isOwnRequest(request));
        names.append(QStringLiteral("10.0.0.9")); // a new lease after the start
        QVERIFY(guard.isOwnRequest(request));
    }

    void privateAddresses_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("isPrivate");
        QTest::newRow("10/8") << QStringLiteral("10.255.0.1") << true;
        QTest::newRow("172.16/12 low") << QStringLiteral("172.16.0.1") << true;
        QTest::newRow("172.16/12 high") << QStringLiteral("172.31.255.254") << true;
        QTest::newRow("172.32 outside") << QStringLiteral("172.32.0.1") << false;
        QTest::newRow("172.15 outside") << QStringLiteral("172.15.0.1") << false;
        QTest::newRow("192.168/16") << QStringLiteral("192.168.0.10") << true;
        QTest::newRow("192.169 outside") << QStringLiteral("192.169.0.10") << false;
        QTest::newRow("documentation") << QStringLiteral("192.0.2.2") << false;
        QTest::newRow("loopback") << QStringLiteral("127.0.0.1") << false;
        QTest::newRow("link-local") << QStringLiteral("169.254.3.3") << false;
        QTest::newRow("ipv6 ula") << QStringLiteral("fd00::2") << false;
    }
    void privateAddresses() {
        QFETCH(QString, address);
        QFETCH(bool, isPrivate);
        QCOMPARE(isPrivateIPv4(QHostAddress(address)), isPrivate);
    }

    void chooseLocalAddress_data() {
        QTest::addColumn<QList<InterfaceSnapshot>>("interfaces");
        QTest::addColumn<QString>("chosen");

        InterfaceSnapshot loopback = interface(QStringLiteral("lo"), QStringLiteral("10.0.0.1"));
        loopback.loopback = true;
        InterfaceSnapshot down = interface(QStringLiteral("eth1"), QStringLiteral("10.0.0.2"));
        down.up = false;
        InterfaceSnapshot noCarrier = interface(QStringLiteral("eth2"), QStringLiteral("10.0.0.3"));
        noCarrier.running = false;
        InterfaceSnapshot docker =
            interface(QStringLiteral("docker0"), QStringLiteral("172.17.0.1"));
        docker.virtualBridge = true;
        InterfaceSnapshot dualStack = interface(QStringLiteral("eth0"), QStringLiteral("fd00::5"));
        dualStack.addresses.append(QHostAddress(QStringLiteral("192.168.4.4")));
        const InterfaceSnapshot wifi =
            interface(QStringLiteral("wlp2s0"), QStringLiteral("192.168.1.20"), true);
        const InterfaceSnapshot wired =
            interface(QStringLiteral("enp3s0"), QStringLiteral("10.1.1.5"));

        QTest::newRow("nothing") << QList<InterfaceSnapshot>{} << QStringLiteral("localhost");
        QTest::newRow("wired before wireless")
            << QList<InterfaceSnapshot>{wifi, wired} << QStringLiteral("10.1.1.5");
        QTest::newRow("wireless alone")
            << QList<InterfaceSnapshot>{wifi} << QStringLiteral("192.168.1.20");
        QTest::newRow("first wired wins")
            << QList<InterfaceSnapshot>{wired, interface(QStringLiteral("enp4s0"),
                                                         QStringLiteral("10.9.9.9"))}
            << QStringLiteral("10.1.1.5");
        QTest::newRow("unusable skipped")
            << QList<InterfaceSnapshot>{loopback, down, noCarrier, docker, wifi}
            << QStringLiteral("192.168.1.20");
        QTest::newRow("public only") << QList<InterfaceSnapshot>{interface(
                                            QStringLiteral("eth0"), QStringLiteral("192.0.2.2"))}
                                     << QStringLiteral("localhost");
        QTest::newRow("ipv4 beside ipv6")
            << QList<InterfaceSnapshot>{dualStack} << QStringLiteral("192.168.4.4");
    }
    void chooseLocalAddress() {
        QFETCH(QList<InterfaceSnapshot>, interfaces);
        QFETCH(QString, chosen);
        QCOMPARE(::chooseLocalAddress(interfaces), chosen);
    }

    void machineHostNamesIncludeLoopbackNames() {
        const QStringList names = machineHostNames();
        QVERIFY(names.contains(QStringLiteral("localhost")));
        QVERIFY(names.contains(QStringLiteral("127.0.0.1")));
        for (const QString& name : names) {
            QVERIFY2(!name.contains(QLatin1Char('%')), qPrintable(name)); // no scope ids
        }
    }
};

QTEST_GUILESS_MAIN(ServerProtocolTest)
#include "tst_server_protocol.moc"
