#pragma once

// What both model clients' suites share: canned answers and expected replies
// read from table rows (tests/data/models), and a recorder of streamed pieces.

#include "models/model_error.h"
#include "models/model_reply.h"
#include "models/result.h"
#include "models/text_piece_stream.h"

#include "support/fake_http_server.h"
#include "support/fake_response.h"
#include "support/json_rows.h"
#include "support/provider_replay.h"
#include "support/task_outcome.h"

#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

struct StreamRecorder {
    explicit StreamRecorder(TextPieceStream* stream) : stream(stream) {
        QObject::connect(stream, &TextPieceStream::piece, stream,
                         [this](const QString& text) { pieces.append(text); });
        QObject::connect(stream, &TextPieceStream::finished, stream, [this] { ++finishes; });
        QObject::connect(stream, &TextPieceStream::failed, stream,
                         [this](const QString& error) { failures.append(error); });
    }
    bool ended() const { return finishes + failures.size() > 0; }

    QPointer<TextPieceStream> stream;
    QStringList pieces;
    int finishes = 0;
    QStringList failures;
};

// A row's canned answer: a provider's recorded `error`, `stream` or `response`
// (with "replay" naming the provider), bytes that are no HTTP ("garbage"),
// server-sent events ("sse"), a body in "chunks" (with any "headers"), or one
// "body" (text as is, JSON compact); "status" defaults to 200.
inline FakeResponse responseFrom(const QJsonObject& row) {
    if (row.contains("replay")) {
        const ProviderReplay replay(row["replay"].toString());
        return row.contains("error")    ? replay.error(row["error"].toString())
               : row.contains("stream") ? replay.stream(row["stream"].toString())
                                        : replay.response(row["response"].toString());
    }
    if (row.contains("garbage")) {
        return FakeResponse::garbage(jsonBytes(row["garbage"]));
    }
    const int status = row["status"].toInt(200);
    if (row.contains("sse")) {
        return FakeResponse::sse(jsonTexts(row["sse"]), 10);
    }
    if (row.contains("chunks")) {
        QByteArrayList chunks;
        for (const QJsonValue& chunk : row["chunks"].toArray()) {
            chunks << jsonBytes(chunk);
        }
        FakeResponse response = FakeResponse::streamed(status, chunks, 10);
        for (const QString& name : row["headers"].toObject().keys()) {
            response.withHeader(name.toUtf8(), jsonBytes(row["headers"][name]));
        }
        return response;
    }
    return FakeResponse::text(status, jsonBytes(row["body"]), "application/json");
}

// The reply or error a row expects: "reply" {"text", "calls": [{"id", "name",
// "arguments", "raw"}]}, "id" "local_" one of the local model's own; or
// "fails" with the error's words (ending in "...": how they start).
inline void expectReplyOfRow(const Result<ModelReply>& reply, const QJsonObject& row) {
    if (!row.contains("reply")) {
        QVERIFY(!reply.ok());
        const QString said = errorDescription(reply.error());
        const QString expected = row.value("fails").toString();
        QVERIFY2(expected.endsWith("...") ? said.startsWith(expected.chopped(3)) : said == expected,
                 qPrintable(said));
        return;
    }
    QVERIFY(reply.ok());
    QJsonArray calls;
    QSet<QString> ids;
    for (const NativeToolCall& call : reply.value().toolCalls) {
        QJsonObject arguments;
        for (auto it = call.arguments.begin(); it != call.arguments.end(); ++it) {
            arguments.insert(it.key(), it.value());
        }
        // The local model's ids are random: only their form is compared.
        const bool local = QRegularExpression("^local_[0-9A-F]{8}$").match(call.id).hasMatch();
        calls.append(QJsonObject{{"id", local ? "local_" : call.id},
                                 {"name", call.name},
                                 {"arguments", arguments},
                                 {"raw", call.rawArguments}});
        ids << call.id;
    }
    QCOMPARE(ids.size(), calls.size());
    QCOMPARE((QJsonObject{{"text", reply.value().text}, {"calls", calls}}),
             row.value("reply").toObject());
}

// The pieces and the end a row expects ("pieces", "fails"; a replay's from the replay).
inline void expectStreamOfRow(TextPieceStream* delivered, const QJsonObject& row) {
    const ProviderReplay replay(row.value("replay").toString("openai"));
    const QString section = row.value("stream").toString();
    const bool replayed = row.contains("replay");
    const QStringList pieces =
        replayed ? QStringList{replay.streamText(section)} : jsonTexts(row.value("pieces"));
    const QString failure = replayed ? replay.streamError(section) : row.value("fails").toString();
    StreamRecorder stream(delivered);
    QVERIFY2(!stream.ended(), "the stream must not end before its answer is read");
    QTRY_VERIFY(stream.ended());
    // A replay's text may come in any number of pieces.
    QCOMPARE(stream.pieces.join(QString()), pieces.join(QString()));
    if (!replayed) {
        QCOMPARE(stream.pieces, pieces);
    }
    QCOMPARE(stream.failures, failure.isEmpty() ? QStringList() : QStringList{failure});
    QCOMPARE(stream.finishes, failure.isEmpty() ? 1 : 0);
    QTRY_VERIFY(stream.stream.isNull()); // the ended stream deletes itself
}

// A base nothing answers on, or none at all: every kind of request fails with
// `description`, the stream not before streamChat has returned.
template <typename Service> void expectUnusable(Service& service, const QString& description) {
    QCOMPARE(errorDescription(finished(service.sendChat({})).error()), description);
    StreamRecorder stream(service.streamChat({}));
    QVERIFY2(!stream.ended(), "the stream must not end inside streamChat");
    QTRY_COMPARE(stream.failures, QStringList{description});
    QVERIFY(stream.pieces.isEmpty());
    QCOMPARE(finished(service.checkAvailability()), false);
}

// Sends `messages`; once `server` has taken `requests` more, a cancel ends the send.
template <typename Service>
void expectCancelledAfter(Service& service, const QJsonArray& messages, FakeHttpServer& server,
                          int requests) {
    auto cancellation = std::make_shared<RequestCancellation>();
    const int before = server.requests().size();
    const auto outcome = startTask(service.sendChat(messages, cancellation));
    QTRY_COMPARE(server.requests().size(), before + requests);
    QVERIFY(!outcome->has_value());
    cancellation->cancel();
    QTRY_VERIFY(outcome->has_value());
    QCOMPARE(errorDescription((*outcome)->error()), "Operation canceled");
    QVERIFY(isCancellation((*outcome)->error()));
}
