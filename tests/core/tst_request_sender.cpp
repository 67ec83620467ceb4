// One request of the agent loop against providers that refuse it as they do
// today (tests/data/providers/refusals.json): waited out and sent again after
// a short rate limit, with the oldest turns left out after a refusal for the
// model's context, and never built beyond 8 MiB.

#include "core/conversation_store.h"
#include "core/rate_limited_stream.h"
#include "core/request_sender.h"
#include "models/cloud_api_service.h"

#include "support/json_rows.h"
#include "support/refusal_replays.h"
#include "support/scripted_model.h"
#include "support/stream_recorder.h"
#include "support/task_outcome.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QString model = "deepseek-flash";

// The system prompt, then `turns` turns; the second one called a tool.
WireMessages conversationOf(int turns, int textBytes = 10) {
    WireMessages messages{QJsonObject{{"role", "system"}, {"content", "prompt"}}};
    for (int i = 0; i < turns; ++i) {
        messages.append(QJsonObject{{"role", "user"}, {"content", QString("question %1").arg(i)}});
        if (i == 1) {
            const QJsonObject call{{"id", "c1"}, {"function", QJsonObject{{"name", "ls"}}}};
            messages.append(QJsonObject{{"role", "assistant"}, {"tool_calls", QJsonArray{call}}});
            messages.append(
                QJsonObject{{"role", "tool"}, {"tool_call_id", "c1"}, {"content", "bin etc"}});
        }
        messages.append(QJsonObject{{"role", "assistant"}, {"content", QString(textBytes, 'a')}});
    }
    messages.append(QJsonObject{{"role", "user"}, {"content", "the current question"}});
    return messages;
}

} // namespace

class RequestSenderTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeOpenAIServer> m_server;
    CloudAPIService m_service{QString(), "sk-replay-0123456789", model};
    ConversationStore m_store;
    std::unique_ptr<RequestSender> m_sender;
    QUuid m_conversation;
    QUuid m_placeholder;
    // What each wait was asked for, and what the reply's message showed meanwhile.
    QList<std::chrono::milliseconds> m_waits;
    QStringList m_shownWhileWaiting;
    // The client's clock: a Retry-After date is written and read at this time.
    const QDateTime m_now = QDateTime::fromString("2026-12-07T09:30:00Z", Qt::ISODate);

    // Waits as long as a test takes: not at all, noting what it was asked.
    RequestSender::Wait recordingWait() {
        return [this](std::chrono::milliseconds delay,
                      std::shared_ptr<RequestCancellation>) -> QCoro::Task<bool> {
            m_waits << delay;
            m_shownWhileWaiting << placeholderText();
            co_return true;
        };
    }

    RequestTarget target(const QString& provider = "DeepSeek") {
        return {&m_service, provider, model, m_conversation, m_placeholder};
    }
    QString placeholderText() const {
        return m_store.findMessage(m_conversation, m_placeholder)->content;
    }
    // Queues `refusals` refusals of the row, then `answer`; checks the waits and
    // requests made, and answers whether the wait was short enough to wait out.
    bool refusedThenAnswered(const QJsonObject& row, int refusals, const FakeResponse& answer,
                             const std::function<void()>& send) {
        for (int i = 0; i < refusals; ++i) {
            m_server->enqueue(refusalAnswer(row, m_now));
        }
        m_server->enqueue(answer);
        send();
        const std::chrono::seconds wait(row["wait"].toInt());
        const bool waited = wait <= RequestSender::longestWait;
        [&] {
            QCOMPARE(m_waits, waited ? QList<std::chrono::milliseconds>{wait}
                                     : QList<std::chrono::milliseconds>{});
            QCOMPARE(m_server->requests().size(), waited ? 2 : 1);
        }();
        return waited;
    }
    static QString waitNamed(const QJsonObject& row) {
        return QString(" (the provider asks to wait %1 s before trying again)")
            .arg(row["wait"].toInt());
    }
    static QString errorOf(const RequestSender::Sent& sent) {
        return sent.result.ok() ? QString() : errorDescription(sent.result.error());
    }
    QList<QJsonArray> sentMessages() const {
        QList<QJsonArray> sent;
        for (const RecordedRequest& request : m_server->requests()) {
            sent << request.json()["messages"].toArray();
        }
        return sent;
    }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<FakeOpenAIServer>();
        m_service.setBaseURL(m_server->baseUrl());
        Conversation conversation = Conversation::make("t");
        m_conversation = conversation.id;
        const ChatMessage placeholder = ChatMessage::make(Role::assistant, QString());
        m_placeholder = placeholder.id;
        conversation.messages.append(placeholder);
        m_store.insertAndSelect(std::move(conversation));
        m_sender = std::make_unique<RequestSender>(&m_store);
        m_waits.clear();
        m_shownWhileWaiting.clear();
        m_sender->setWait(recordingWait());
        m_service.setClock([now = m_now] { return now; });
    }
    void cleanup() {
        m_sender.reset();
        m_store.deleteConversation(m_conversation);
    }

    void aRateLimitIsWaitedOutOnce_data() {
        QTest::addColumn<QJsonObject>("row");
        QTest::addColumn<int>("refusals");
        for (const QJsonValue& row : jsonTable(refusalTable, "rateLimits").toArray()) {
            for (const int refusals : {1, 2}) {
                const QString tag = row["tag"].toString() + QString(", refused %1 time(s)");
                QTest::newRow(qPrintable(tag.arg(refusals))) << row.toObject() << refusals;
            }
        }
    }

    // Each rate limit, refused once or twice: a short wait is waited out once,
    // the transcript saying so; a long one, or a second refusal, is the error
    // with the wait named.
    void aRateLimitIsWaitedOutOnce() {
        QFETCH(QJsonObject, row);
        QFETCH(int, refusals);
        std::optional<RequestSender::Sent> sent;
        const bool waited =
            refusedThenAnswered(row, refusals, FakeOpenAIServer::chatReply("Here it is."), [&] {
                sent = finished(
                    m_sender->send(target(row["provider"].toString()), conversationOf(1), {}));
            });
        if (!waited || refusals == 2) {
            QVERIFY2(errorOf(*sent).startsWith("API error: ") &&
                         errorOf(*sent).endsWith(waitNamed(row)),
                     qPrintable(errorOf(*sent)));
            return;
        }
        QVERIFY2(sent->result.ok(), qPrintable(errorOf(*sent)));
        QCOMPARE(sent->result.value().text, "Here it is.");
        QCOMPARE(m_server->requests()[1].json(), m_server->requests()[0].json());
        QCOMPARE(m_shownWhileWaiting,
                 QStringList{"Waiting for " + row["provider"].toString() + " (rate limit)…"});
        QCOMPARE(placeholderText(), QString()); // as it was before the wait
    }

    // The phone's streamed reply waits out a short rate limit once, before any
    // piece came (and then answers: tst_chat_cli's phone page); refused again,
    // it ends with the wait named, as the desktop's reply does for each provider.
    void aStreamedReplyWaitsOutAShortRateLimitOnce() {
        const QJsonObject row = refusalRow("rateLimits", "openai: requests per minute");
        std::unique_ptr<StreamRecorder> stream;
        const FakeResponse answer = FakeOpenAIServer::streamedText({"Here ", "it is."});
        QVERIFY(refusedThenAnswered(row, 2, answer, [&] {
            stream = std::make_unique<StreamRecorder>(streamWaitingOutRateLimits(
                [this] { return m_service.streamChat({}); }, recordingWait()));
            QTRY_VERIFY(stream->ended());
        }));
        QCOMPARE(stream->pieces, QStringList());
        QVERIFY2(stream->failures.value(0).endsWith(waitNamed(row)),
                 qPrintable(stream->failures.value(0)));
    }

    // Stop ends a real wait of 20 s at once, and nothing is sent again (a short
    // real wait waited out: tst_chat_cli's messages from standard input).
    void stopEndsTheRealWait() {
        m_sender = std::make_unique<RequestSender>(&m_store);
        m_server->enqueue(refusalAnswer(refusalRow("rateLimits", "openai: requests per minute")));
        auto cancellation = std::make_shared<RequestCancellation>();
        const auto sent = startTask(m_sender->send(target(), conversationOf(1), cancellation));
        QTRY_COMPARE(placeholderText(), "Waiting for DeepSeek (rate limit)…");
        cancellation->cancel();
        QTRY_VERIFY(sent->has_value());
        QVERIFY(!(*sent)->result.ok() && isCancellation((*sent)->result.error()));
        QCOMPARE(placeholderText(), QString());
        QCOMPARE(m_server->requests().size(), 1);
    }

    // Refused for the model's context: sent once more without the oldest whole
    // turns (the system prompt and the current turn kept), with a note; later
    // requests of the conversation leave them out from the start.
    void aContextRefusalLeavesTheOldestTurnsOut_data() {
        addJsonRows(refusalTable, "contextLength");
    }
    void aContextRefusalLeavesTheOldestTurnsOut() {
        QFETCH(QJsonObject, row);
        const WireMessages messages = conversationOf(8, 2000);
        if (row["local"].toBool()) {
            // The local client reads Ollama's {"error": …} as Ollama's own words.
            ScriptedModel ollama;
            ollama.replies.append(
                LLMError::ollamaError(row["body"].toObject()["error"].toString()));
            RequestTarget local = target("Ollama");
            local.service = &ollama;
            const RequestSender::Sent sent = finished(m_sender->send(local, messages, {}));
            QVERIFY(sent.result.ok());
            QCOMPARE(ollama.requests.size(), 2);
            QVERIFY(ollama.requests[1].size() < messages.size());
            QCOMPARE(ollama.requests[1].last(), messages.last());
            return;
        }
        m_server->enqueue(refusalAnswer(row));
        m_server->enqueue(FakeOpenAIServer::chatReply("Here it is."));
        const RequestSender::Sent sent = finished(m_sender->send(target(), messages, {}));
        const QList<QJsonArray> sent1 = sentMessages();
        if (row["refusedForOtherReasons"].toBool()) {
            QCOMPARE(sent1.size(), 1);
            QVERIFY(!sent.result.ok());
            return;
        }
        QVERIFY2(sent.result.ok(), qPrintable(errorOf(sent)));
        QCOMPARE(sent.note, "Earlier messages were left out to fit deepseek-flash's context");
        QCOMPARE(sent1.size(), 2);
        // Smaller by the share the row names (which turns stay: tst_context_fitting).
        const QJsonArray fitted = sent1[1];
        const double kept = double(jsonBytes(fitted).size()) / jsonBytes(messages).size();
        QVERIFY2(kept <= row["share"].toDouble(0.5) * 0.8 + 0.01,
                 qPrintable(QString::number(kept)));
        // The next request starts where this one ended, and says nothing new.
        m_server->enqueue(FakeOpenAIServer::chatReply("Again."));
        const RequestSender::Sent next = finished(m_sender->send(target(), messages, {}));
        QVERIFY(next.result.ok());
        QVERIFY(!next.note.has_value());
        QCOMPARE(sentMessages().last(), fitted);
    }

    void nothingToLeaveOutIsTheError() {
        m_server->enqueue(refusalAnswer(refusalRow("contextLength", "deepseek")));
        const RequestSender::Sent sent = finished(m_sender->send(target(), conversationOf(0), {}));
        QCOMPARE(m_server->requests().size(), 1);
        QVERIFY(!sent.result.ok());
        QVERIFY(errorDescription(sent.result.error()).contains("maximum context length"));
    }

    // Too big for any local server to read: the request is seen where it is sent.
    void aRequestIsNeverBuiltBeyondEightMebibytes() {
        ScriptedModel service;
        RequestTarget big = target();
        big.service = &service;
        const WireMessages messages = conversationOf(9000, 1000);
        const RequestSender::Sent sent = finished(m_sender->send(big, messages, {}));
        QVERIFY(sent.result.ok());
        QCOMPARE(sent.note, "Earlier messages were left out to fit deepseek-flash's context");
        QCOMPARE(service.requests.size(), 1);
        // No more turns go than the size needs: tst_context_fitting.
        QVERIFY(jsonBytes(service.requests.first()).size() <= RequestSender::maxRequestBytes);
    }
};

QTEST_GUILESS_MAIN(RequestSenderTest)
#include "tst_request_sender.moc"
