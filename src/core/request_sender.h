#pragma once

#include "models/ai_service.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>

class ConversationStore;

// The model and where its answer goes, for one request of the agent loop.
struct RequestTarget {
    AIServiceProtocol* service = nullptr;
    QString provider; // "DeepSeek", "Ollama": named while waiting for it
    QString model;    // named in the note when older turns are left out
    QUuid conversationId;
    QUuid placeholderId;         // the reply's message, which shows a wait
    ReplyProgress progress = {}; // where the reply shows as it is written, if anywhere
};

// The wait a refusal asks for, when it is short enough to wait for
// (RequestSender::longestWait at most).
std::optional<std::chrono::seconds> shortWait(const ModelError& error);

// A wait on a timer that the cancellation cuts short; false when it did.
QCoro::Task<bool> timerWait(std::chrono::milliseconds delay,
                            std::shared_ptr<RequestCancellation> cancellation);

// The transcript's texts for a wait and for turns left out.
QString waitingNotice(const QString& provider);
bool isWaitingNotice(const QString& content);
QString leftOutNote(const QString& model);

// Sends one request of the agent loop and sends it once more where the refusal
// says how it could be taken: after the wait a 429 or 503 asks for (at most
// longestWait; the reply's message says it is waiting meanwhile), or with the
// oldest whole turns left out when the model's context is too small. No
// request is built beyond maxRequestBytes of messages; once turns were left out
// of a conversation, later requests of it leave them out too (for that model).
class RequestSender : public QObject {
    Q_OBJECT

public:
    // Waits `delay`; false when the cancellation ended the wait first.
    using Wait = std::function<QCoro::Task<bool>(std::chrono::milliseconds delay,
                                                 std::shared_ptr<RequestCancellation>)>;

    static constexpr qsizetype maxRequestBytes = 8 * 1024 * 1024;
    static constexpr std::chrono::seconds longestWait{20};

    explicit RequestSender(ConversationStore* store, QObject* parent = nullptr);

    // Replaces the timer (tests wait for their own signal).
    void setWait(Wait wait) { m_wait = std::move(wait); }

    struct Sent {
        Result<ModelReply> result;
        // The note for the transcript when this request left turns out that
        // earlier ones had not.
        std::optional<QString> note = std::nullopt;
    };
    QCoro::Task<Sent> send(RequestTarget target, WireMessages messages,
                           std::shared_ptr<RequestCancellation> cancellation);

    // A Role::system message with the note; it is shown, never sent.
    void appendNote(const QUuid& conversationId, const std::optional<QString>& note);

private:
    struct LeftOut {
        QString model;
        int turns = 0;
    };

    QCoro::Task<bool> waitForRetry(const RequestTarget& target, std::chrono::seconds delay,
                                   std::shared_ptr<RequestCancellation> cancellation);

    QPointer<ConversationStore> m_store;
    Wait m_wait;
    QHash<QUuid, LeftOut> m_leftOut; // by conversation
};
