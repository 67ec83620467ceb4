// Leaving the oldest whole turns out of a request (core/context_fitting): which
// messages stay, and how many turns go to fit a size.

#include "core/context_fitting.h"

#include "support/json_rows.h"

#include <QtTest>

namespace {

const QString table = "core/context_fitting.json";

// [role, content (null: none), call id]: an assistant message with a call id
// calls list_directory; a tool message with one answers it.
WireMessages messagesOf(const QJsonArray& rows) {
    WireMessages messages;
    for (const QJsonValue& value : rows) {
        const QJsonArray row = value.toArray();
        QJsonObject message{{"role", row[0]}, {"content", row[1]}};
        if (row.size() > 2 && row[0] == QJsonValue("assistant")) {
            message["tool_calls"] = QJsonArray{QJsonObject{{"id", row[2]}}};
        } else if (row.size() > 2) {
            message["tool_call_id"] = row[2];
        }
        messages.append(message);
    }
    return messages;
}

// A conversation of `turns` turns of a user message and a reply, `bytes` each.
WireMessages turnsOf(int turns, int bytes) {
    WireMessages messages{QJsonObject{{"role", "system"}, {"content", "prompt"}}};
    for (int i = 0; i < turns; ++i) {
        messages.append(QJsonObject{{"role", "user"}, {"content", QString(bytes / 2, 'u')}});
        messages.append(QJsonObject{{"role", "assistant"}, {"content", QString(bytes / 2, 'a')}});
    }
    return messages;
}

} // namespace

class ContextFittingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theOldestWholeTurnsAreLeftOut_data() { addJsonRows(table, "leaveOut"); }
    void theOldestWholeTurnsAreLeftOut() {
        QFETCH(QJsonObject, row);
        const WireMessages messages = messagesOf(row["messages"].toArray());
        const FittedMessages fitted = withoutOldestTurns(messages, row["turns"].toInt());
        // Every call that stays keeps its result, and no result its call.
        QJsonArray kept;
        QSet<QString> calls;
        QSet<QString> results;
        for (const QJsonValue& message : fitted.messages) {
            kept.append(message["content"]);
            for (const QJsonValue& call : message["tool_calls"].toArray()) {
                calls << call["id"].toString();
            }
            if (message["role"] == QJsonValue("tool")) {
                results << message["tool_call_id"].toString();
            }
        }
        QCOMPARE(std::tuple(fitted.leftOutTurns, kept, calls),
                 std::tuple(row["leftOut"].toInt(), row["kept"].toArray(), results));
    }

    void asManyTurnsAsTheSizeNeeds_data() { addJsonRows(table, "fit"); }
    void asManyTurnsAsTheSizeNeeds() {
        QFETCH(QJsonObject, row);
        const WireMessages messages = turnsOf(row["turns"].toInt(), row["turnBytes"].toInt());
        const FittedMessages fitted =
            fitWithin(messages, row["maxBytes"].toInt(), row["atLeast"].toInt());
        QCOMPARE(fitted.leftOutTurns, row["leftOut"].toInt());
        QCOMPARE(fitted.messages, withoutOldestTurns(messages, fitted.leftOutTurns).messages);
        // No fewer turns go than the size needs: one more back would not fit.
        if (fitted.leftOutTurns > row["atLeast"].toInt()) {
            QVERIFY(wireSize(withoutOldestTurns(messages, fitted.leftOutTurns - 1).messages) >
                    row["maxBytes"].toInt());
        }
        if (fitted.leftOutTurns < turnsThatMayBeLeftOut(messages)) {
            QVERIFY(wireSize(fitted.messages) <= row["maxBytes"].toInt());
        }
    }
};

QTEST_GUILESS_MAIN(ContextFittingTest)
#include "tst_context_fitting.moc"
