#include "core/request_sender.h"

#include "core/context_fitting.h"
#include "core/conversation_store.h"
#include "core/core_texts.h"
#include "models/context_overflow.h"

#include <QCoroTimer>
#include <QTimer>

// A wait on a timer that the cancellation cuts short.
QCoro::Task<bool> timerWait(std::chrono::milliseconds delay,
                            std::shared_ptr<RequestCancellation> cancellation) {
    if (cancellation && cancellation->isCancelled()) {
        co_return false;
    }
    QTimer timer;
    timer.setSingleShot(true);
    if (cancellation) {
        QObject::connect(cancellation.get(), &RequestCancellation::cancelled, &timer,
                         [&timer] { timer.start(0); });
    }
    timer.start(delay);
    co_await timer;
    co_return !(cancellation && cancellation->isCancelled());
}

std::optional<std::chrono::seconds> shortWait(const ModelError& error) {
    const auto* cloud = std::get_if<CloudError>(&error);
    if (cloud == nullptr || !cloud->retryAfter || *cloud->retryAfter > RequestSender::longestWait) {
        return std::nullopt;
    }
    return cloud->retryAfter;
}

namespace {

// How much of the refused messages to keep: a little less than the share the
// refusal names (the answer needs room too), half when it names none.
double keptShare(const ContextOverflow& overflow) {
    return overflow.fittingShare ? *overflow.fittingShare * 0.8 : 0.5;
}

} // namespace

QString waitingNotice(const QString& provider) {
    return CoreTexts::waitingForRateLimit().arg(provider);
}

bool isWaitingNotice(const QString& content) {
    // Recognised by what the text holds around the provider, in any translation.
    const QString notice = CoreTexts::waitingForRateLimit();
    const qsizetype at = notice.indexOf(QLatin1String("%1"));
    return at >= 0 && content.size() > notice.size() - 2 && content.startsWith(notice.left(at)) &&
           content.endsWith(notice.mid(at + 2));
}

QString leftOutNote(const QString& model) {
    return CoreTexts::earlierMessagesLeftOut().arg(model);
}

RequestSender::RequestSender(ConversationStore* store, QObject* parent)
    : QObject(parent), m_store(store), m_wait(timerWait) {}

QCoro::Task<RequestSender::Sent>
RequestSender::send(RequestTarget target, WireMessages messages,
                    std::shared_ptr<RequestCancellation> cancellation) {
    QPointer<RequestSender> self(this);
    QPointer<AIServiceProtocol> service(target.service);
    const LeftOut before = m_leftOut.value(target.conversationId);
    const int alreadyLeftOut = before.model == target.model ? before.turns : 0;
    FittedMessages fitted = fitWithin(messages, maxRequestBytes, alreadyLeftOut);
    bool waited = false;
    bool refitted = false;
    // A reply that began to show is not asked for again: its error is shown instead.
    auto began = std::make_shared<bool>(false);
    ReplyProgress progress = target.progress;
    if (progress.text) {
        progress.text = [began, show = progress.text](const QString& piece) {
            *began = true;
            show(piece);
        };
    }
    while (true) {
        Result<ModelReply> result =
            co_await service->sendChat(fitted.messages, cancellation, progress);
        if (!self || !service || result.ok() || *began) {
            if (self && fitted.leftOutTurns > alreadyLeftOut) {
                m_leftOut.insert(target.conversationId, {target.model, fitted.leftOutTurns});
                if (result.ok()) {
                    co_return Sent{std::move(result), leftOutNote(target.model)};
                }
            }
            co_return Sent{std::move(result)};
        }
        // Sent again once for each reason: refused again, the words are shown.
        const std::optional<std::chrono::seconds> wait = shortWait(result.error());
        if (wait && !waited) {
            waited = true;
            const bool waitedOut = co_await waitForRetry(target, *wait, cancellation);
            if (!self || !service || !waitedOut) {
                co_return Sent{PlatformError::cancelled()};
            }
            continue;
        }
        const std::optional<ContextOverflow> overflow = contextOverflow(result.error());
        if (!overflow || refitted || fitted.leftOutTurns >= turnsThatMayBeLeftOut(messages)) {
            co_return Sent{std::move(result)};
        }
        refitted = true;
        const auto kept =
            static_cast<qsizetype>(double(wireSize(fitted.messages)) * keptShare(*overflow));
        fitted = fitWithin(messages, kept, fitted.leftOutTurns + 1);
    }
}

QCoro::Task<bool> RequestSender::waitForRetry(const RequestTarget& target,
                                              std::chrono::seconds delay,
                                              std::shared_ptr<RequestCancellation> cancellation) {
    QPointer<RequestSender> self(this);
    const QString notice = waitingNotice(target.provider);
    if (m_store) {
        m_store->setMessageContent(target.conversationId, target.placeholderId, notice);
    }
    const bool waitedOut = co_await m_wait(delay, cancellation);
    // The reply's message is left as it was before the wait.
    if (self && m_store) {
        const ChatMessage* placeholder =
            m_store->findMessage(target.conversationId, target.placeholderId);
        if (placeholder != nullptr && placeholder->content == notice) {
            m_store->setMessageContent(target.conversationId, target.placeholderId, QString());
        }
    }
    co_return waitedOut;
}

void RequestSender::appendNote(const QUuid& conversationId, const std::optional<QString>& note) {
    if (note && m_store) {
        m_store->appendMessage(conversationId, ChatMessage::make(Role::system, *note));
    }
}
