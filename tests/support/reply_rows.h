#pragma once

#include "models/model_error.h"
#include "models/model_reply.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

// The words expected: exactly, or (ending in "...") how they start.
inline void expectWords(const QString& said, const QString& expected) {
    QVERIFY2(expected.endsWith("...") ? said.startsWith(expected.chopped(3)) : said == expected,
             qPrintable(said));
}

// The reply or error a table row expects: "reply" {"text", "calls": [{"id", "name",
// "arguments", "raw"}]}, "id" "local_" or "call_" one of our own; or "fails" with
// the error's words.
inline void expectReplyOfRow(const Result<ModelReply>& reply, const QJsonObject& row) {
    if (!row.contains("reply")) {
        QVERIFY(!reply.ok());
        expectWords(errorDescription(reply.error()), row.value("fails").toString());
        return;
    }
    QVERIFY2(reply.ok(), qPrintable(reply.ok() ? QString() : errorDescription(reply.error())));
    QJsonArray calls;
    QSet<QString> ids;
    for (const NativeToolCall& call : reply.value().toolCalls) {
        QJsonObject arguments;
        for (auto it = call.arguments.begin(); it != call.arguments.end(); ++it) {
            arguments.insert(it.key(), it.value());
        }
        // Ids of our own are random: only their form is compared.
        static const QRegularExpression ours("^(local_)[0-9A-F]{8}$|^(call_)[A-Za-z0-9]{24}$");
        calls.append(QJsonObject{{"id", QString(call.id).replace(ours, "\\1\\2")},
                                 {"name", call.name},
                                 {"arguments", arguments},
                                 {"raw", call.rawArguments}});
        ids << call.id;
    }
    QCOMPARE(ids.size(), calls.size());
    QCOMPARE((QJsonObject{{"text", reply.value().text}, {"calls", calls}}),
             row.value("reply").toObject());
}
