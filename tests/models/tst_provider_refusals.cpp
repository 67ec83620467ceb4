// What the cloud client makes of answers that are no answer and of refusals, as
// the providers send them (tests/data/providers/refusals.json): the error each
// becomes, the same words for the phone's stream as for the desktop, the wait a
// rate limit asks for, and a refusal for the model's context told apart from others.

#include "models/cloud_api_service.h"
#include "models/context_overflow.h"
#include "models/http_exchange.h"
#include "models/text_piece_stream.h"

#include "support/json_rows.h"
#include "support/refusal_replays.h"
#include "support/reply_rows.h"
#include "support/task_outcome.h"

#include <QtTest>

namespace {

const QString& table = refusalTable;
const QString key = "sk-replay-0123456789";

} // namespace

class ProviderRefusalsTest : public QObject {
    Q_OBJECT

    FakeOpenAIServer m_server;
    CloudAPIService m_service{QString(), key, "gpt-6-luna"};

    // The client's clock: a Retry-After date is written and read at this time.
    const QDateTime m_now = QDateTime::fromString("2026-12-07T09:30:00Z", Qt::ISODate);

    ModelError refusalOf(const QJsonObject& row) {
        m_server.enqueue(refusalAnswer(row, m_now));
        const Result<ModelReply> reply = finished(m_service.sendChat({}));
        if (reply.ok()) {
            qFatal("the refusal was read as a reply");
        }
        return reply.error();
    }

private Q_SLOTS:
    void init() {
        m_service.setBaseURL(m_server.baseUrl());
        m_service.setClock([now = m_now] { return now; });
    }

    void everyReplyIsAnAnswerOrSaysWhyNot_data() { addJsonRows(table, "answers"); }
    void everyReplyIsAnAnswerOrSaysWhyNot() {
        QFETCH(QJsonObject, row);
        m_server.enqueue(refusalAnswer(row));
        expectReplyOfRow(finished(m_service.sendChat({})), row);
    }

    // The phone's stream fails with what the desktop shows, never the key.
    void thePhoneGetsTheDesktopsWords_data() { addJsonRows(table, "phone"); }
    void thePhoneGetsTheDesktopsWords() {
        QFETCH(QJsonObject, row);
        const QString desktop = errorDescription(refusalOf(row));
        expectWords(desktop, row["fails"].toString());
        QVERIFY(!desktop.contains(key));
        m_server.enqueue(refusalAnswer(row));
        TextPieceStream* stream = m_service.streamChat({});
        QSignalSpy failed(stream, &TextPieceStream::failed);
        QVERIFY(failed.wait());
        QCOMPARE(failed.first().first().toString(), desktop);
    }

    void rateLimitsSayHowLongToWait_data() { addJsonRows(table, "rateLimits"); }
    void rateLimitsSayHowLongToWait() {
        QFETCH(QJsonObject, row);
        const ModelError error = refusalOf(row);
        const std::optional<std::chrono::seconds> wait = std::get<CloudError>(error).retryAfter;
        QCOMPARE(wait.value_or(std::chrono::seconds(-1)).count(), row["wait"].toInt());
        QVERIFY(errorDescription(error).endsWith(
            QString(" (the provider asks to wait %1 s before trying again)").arg(wait->count())));
    }

    // Each provider's words for a request beyond the model's context, and the
    // share of it that would have fitted when they name both counts.
    void contextRefusalsAreToldApart_data() { addJsonRows(table, "contextLength"); }
    void contextRefusalsAreToldApart() {
        QFETCH(QJsonObject, row);
        // The local client reads Ollama's {"error": …} as Ollama's own words.
        const ModelError error =
            row["local"].toBool()
                ? ModelError(LLMError::ollamaError(row["body"].toObject()["error"].toString()))
                : refusalOf(row);
        const std::optional<ContextOverflow> overflow = contextOverflow(error);
        QCOMPARE(overflow.has_value(), !row["refusedForOtherReasons"].toBool());
        if (!overflow) {
            return;
        }
        // In thousandths; -1: no share named.
        QCOMPARE(qRound(overflow->fittingShare.value_or(-0.001) * 1000),
                 qRound(row["share"].toDouble(-0.001) * 1000));
    }

    // A 200 that is no model list (a wrong base URL, a proxy's sign-in page).
    void aPageIsNoModelList() {
        m_server.setStandingResponse("GET", "/v1/models",
                                     FakeResponse::text(200, "<html><body>Sign in</body></html>",
                                                        "text/html; charset=utf-8"));
        QCOMPARE(errorDescription(finished(m_service.listModels()).error()),
                 "The server did not answer with a model list (HTTP 200, text/html)");
        QCOMPARE(finished(m_service.checkAvailability()), false); // a list: the probe rows
    }
};

QTEST_GUILESS_MAIN(ProviderRefusalsTest)
#include "tst_provider_refusals.moc"
