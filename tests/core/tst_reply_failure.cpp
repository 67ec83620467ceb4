// What a failed reply offers beside its error: RETRY where the network, the
// provider's server or a rate limit failed it, OPEN MODEL SETTINGS where the
// key, the model or the request was refused, nothing after a stop. Refusals
// are the providers' recorded answers (tests/data/providers) where there is
// one; tests/data/core/reply_failures.json holds the rows.

#include "core/reply_failure.h"
#include "models/cloud_protocol.h"
#include "models/http_exchange.h"
#include "models/ollama_protocol.h"

#include "support/json_rows.h"
#include "support/provider_replay.h"
#include "support/refusal_replays.h"

#include <QtTest>

namespace {

// A row's answer: a provider's recorded error ("replay", "error"), a row of the
// refusals ("refusal": table and tag), or the row's own "status" (200 unless
// given) and "body" (text as sent, or JSON), with its "retryAfter".
HttpAnswer answerOf(const QJsonObject& row) {
    QJsonObject recorded = row;
    if (row.contains("replay")) {
        recorded = ProviderReplay(row["replay"].toString())
                       .section("errors")[row["error"].toString()]
                       .toObject();
    } else if (row.contains("refusal")) {
        const QJsonArray at = row["refusal"].toArray();
        recorded = refusalRow(at[0].toString(), at[1].toString());
    }
    const QJsonValue body = recorded["body"];
    return HttpAnswer{recorded["status"].toInt(200),
                      body.isString() ? body.toString().toUtf8() : jsonBytes(body),
                      recorded["reason"].toString().toLatin1(), "application/json",
                      recorded["retryAfter"].toString().toLatin1()};
}

ModelError errorOf(const QJsonObject& row) {
    const std::map<QString, ModelError> failures{
        {"transport", PlatformError{PlatformError::Case::transport, "Host api.x.ai not found"}},
        {"invalidURL", PlatformError::invalidBaseURL()},
        {"stopped", PlatformError::cancelled()},
        {"ollamaNotRunning", LLMError{LLMError::Case::ollamaNotRunning}}};
    if (const auto failure = failures.find(row["kind"].toString()); failure != failures.end()) {
        return failure->second;
    }
    if (row["local"].toBool()) {
        return ollamaStatusError(answerOf(row), "qwen2.5:3b");
    }
    const Result<ModelReply> reply =
        decodeCloudReply(answerOf(row), QDateTime::currentDateTimeUtc());
    if (reply.ok()) {
        qFatal("the row's answer was read as a reply");
    }
    return reply.error();
}

} // namespace

class ReplyFailureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theFixFitsTheFailure_data() { addJsonRows("core/reply_failures.json", "failures"); }
    void theFixFitsTheFailure() {
        QFETCH(QJsonObject, row);
        const std::optional<ReplyFailure> failure = replyFailureFor(errorOf(row));
        QCOMPARE(failure ? toText(*failure) : QString("none"), row["fix"].toString());
    }
};

QTEST_GUILESS_MAIN(ReplyFailureTest)

#include "tst_reply_failure.moc"
