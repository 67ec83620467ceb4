// The server's parts that need no socket: the request reader at every split
// and size boundary, the chat body rules, the access key, the host guard and
// the choice of the address shown to the user. Tables: tests/data/server/protocol.json.

#include "server/access_key.h"
#include "server/chat_request.h"
#include "server/http_request_reader.h"
#include "server/local_address.h"
#include "server/request_guard.h"
#include "support/json_rows.h"

#include <QtTest>

using Outcome = HttpRequestReader::Outcome;

namespace {

const QString table = "server/protocol.json";
// In the order the outcomes are declared.
const QStringList outcomeNames{"needMore",       "complete",     "malformed",
                               "headerTooLarge", "bodyTooLarge", "invalidLength"};

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
            QCOMPARE((QStringList{read.method + ' ' + read.path() + '?' + read.query(),
                                  QString::fromUtf8(read.body), read.header("host").value_or("")}),
                     (QStringList{"POST /api/chat?key=k", "{\"a\":\"b\"}  x", "h:1"}));
        }
    }

    void readerOutcomes_data() { addJsonRows(table, "readerOutcomes"); }
    void readerOutcomes() {
        QFETCH(QJsonObject, row);
        const auto outcome = Outcome(outcomeNames.indexOf(row.value("outcome").toString()));
        HttpRequestReader reader;
        QCOMPARE(reader.append(jsonBytes(row.value("bytes"))), outcome);
        if (outcome == Outcome::complete) {
            QCOMPARE(reader.request().body, jsonBytes(row.value("body")));
        } else if (outcome == Outcome::needMore) {
            QCOMPARE(reader.finish(), Outcome::malformed); // the peer stopped half-way
        } else {
            QCOMPARE(reader.append("more"), outcome); // a verdict given stays
        }
    }

    // Rows without "lastUser" are refused.
    void chatBodies_data() { addJsonRows(table, "chatBodies"); }
    void chatBodies() {
        QFETCH(QJsonObject, row);
        const QByteArray body = jsonBytes(row.value("body"));
        const std::optional<ChatRequest> request = parseChatRequest(body);
        QCOMPARE(request.has_value(), row.contains("lastUser"));
        if (request) {
            // Every message goes on unchanged, members the server does not know included.
            QCOMPARE(request->messages, QJsonDocument::fromJson(body)["messages"].toArray());
            QCOMPARE(request->lastUserText.value_or(QString()), row.value("lastUser").toString());
        }
    }

    // Rows: the query, the server's key ("Ab-_9" unless given) and whether the one carries the
    // other. A fresh key on each start and its alphabet: tst_local_server.
    void queryCarriesKey_data() { addJsonRows(table, "queryCarriesKey"); }
    void queryCarriesKey() {
        QFETCH(QJsonObject, row);
        QCOMPARE(access_key::queryCarries(row.value("query").toString(),
                                          row.value("key").toString("Ab-_9")),
                 row.value("carries").toBool());
    }

    // An empty host or origin: no such header.
    void guardChecksHostAndOrigin_data() { addJsonRows(table, "guard"); }
    void guardChecksHostAndOrigin() {
        QFETCH(QJsonObject, row);
        QStringList names{"localhost", "127.0.0.1", "192.168.1.7", "[fd00::2]"};
        RequestGuard guard(8080, [&names] { return names; });
        HttpRequest request;
        for (const QString name : {"host", "origin"}) {
            if (!row.value(name).toString().isEmpty()) {
                request.headers.append({name, row.value(name).toString()});
            }
        }
        names.append(QStringLiteral("10.0.0.9")); // a new lease after the start
        QCOMPARE(guard.isOwnRequest(request), row.value("accepted").toBool());
    }

    // Interfaces are up and running with the addresses given unless their traits
    // say "down", "no carrier", "loopback", "wireless" or "bridge".
    void chooseLocalAddress_data() { addJsonRows(table, "chooseLocalAddress"); }
    void chooseLocalAddress() {
        QFETCH(QJsonObject, row);
        QList<InterfaceSnapshot> interfaces;
        for (const QJsonValue& value : row.value("interfaces").toArray()) {
            const QString traits = value["traits"].toString();
            const auto is = [&traits](const char* trait) { return traits.contains(trait); };
            QList<QHostAddress> addresses;
            std::ranges::transform(jsonTexts(value["addresses"]), std::back_inserter(addresses),
                                   [](const QString& address) { return QHostAddress(address); });
            interfaces.append({value["name"].toString(), !is("down"), !is("no carrier"),
                               is("loopback"), is("wireless"), is("bridge"), addresses});
        }
        QCOMPARE(::chooseLocalAddress(interfaces), row.value("chosen").toString());
    }
};

QTEST_GUILESS_MAIN(ServerProtocolTest)
#include "tst_server_protocol.moc"
