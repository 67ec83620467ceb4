#include "core/tool_loop.h"

#include "core/conversation_store.h"
#include "core/reply_failure.h"
#include "core/request_sender.h"
#include "core/streamed_reply.h"
#include "core/tool_approval.h"
#include "core/tool_runner.h"
#include "persona/memory_tags.h"
#include "persona/persona_manager.h"
#include "tools/path_expansion.h"

#include <QCoroFuture>

ToolLoop::ToolLoop(ConversationStore* store, PersonaManager* persona, ToolRunner* tools,
                   ToolApproval* approval, std::function<Backend()> currentBackend, QObject* parent)
    : QObject(parent), m_store(store), m_persona(persona), m_tools(tools), m_approval(approval),
      m_currentBackend(std::move(currentBackend)), m_requests(new RequestSender(store, this)) {}

QCoro::Task<> ToolLoop::runGeneration(QUuid conversationId, QString systemPrompt,
                                      std::shared_ptr<RequestCancellation> cancellation) {
    QPointer<ToolLoop> self(this);
    m_wireCache.retainOnly([this](const QUuid& id) { return m_store->find(id) != nullptr; });
    for (int call = 1; call <= maxToolIterations; ++call) {
        const Conversation* conversation = m_store->find(conversationId);
        if (conversation == nullptr) {
            co_return;
        }
        const ChatMessage placeholder = ChatMessage::make(Role::assistant, QString());
        m_store->appendMessage(conversationId, placeholder);

        // The backend is chosen now, so a switch during the loop takes effect here.
        const Backend backend = m_currentBackend();
        const WireMessages messages =
            m_wireCache.build(*m_store->find(conversationId), systemPrompt, backend.mode);
        std::unique_ptr<StreamedReply> streamed =
            startStreamedReply(backend, conversationId, placeholder.id);
        // Named, not a temporary: GCC 12 mishandles temporaries in a co_await.
        const RequestTarget target{
            backend.service, backend.provider, backend.model,
            conversationId,  placeholder.id,   streamed ? streamed->progress() : ReplyProgress{}};
        const RequestSender::Sent sent = co_await m_requests->send(target, messages, cancellation);
        const Result<ModelReply>& result = sent.result;
        if (!self || !m_store || m_store->find(conversationId) == nullptr) {
            co_return;
        }
        const QString arrived = endStreamedReply(std::move(streamed));
        if (!result.ok()) {
            const ChatMessage* current = m_store->findMessage(conversationId, placeholder.id);
            if (current != nullptr && !arrived.isEmpty() && isCancellation(result.error())) {
                // A Stop keeps what was written, marked as a stopped reply is.
                m_store->setReply(conversationId, placeholder.id, arrived, std::nullopt);
                m_store->setNotice(conversationId, placeholder.id,
                                   errorReplyPrefix() + errorDescription(result.error()));
            } else if (current != nullptr && arrived.startsWith(current->content)) {
                // Only a placeholder untouched but by the reply shows the error; earlier
                // records stay.
                m_store->setFailedReply(conversationId, placeholder.id,
                                        errorReplyPrefix() + errorDescription(result.error()),
                                        replyFailureFor(result.error()));
            }
            co_return;
        }

        const ModelReply& reply = result.value();
        if (reply.toolCalls.isEmpty()) {
            if (m_store->setReply(conversationId, placeholder.id, reply.text,
                                  reply.reasoningContent)) {
                if (const QString notice = recordMemoryTags(reply.text); !notice.isEmpty()) {
                    m_store->setNotice(conversationId, placeholder.id, notice);
                }
            }
            m_requests->appendNote(conversationId, sent.note);
            co_return;
        }
        if (!m_store->setReply(conversationId, placeholder.id,
                               reply.text.isEmpty() ? usingToolsPlaceholder() : reply.text,
                               reply.reasoningContent)) {
            co_return;
        }

        bool personaChanged = false;
        for (const NativeToolCall& toolCall : reply.toolCalls) {
            // After a Stop no queued call starts; each is answered, so the model
            // sees next time what did not run. (A Stop while the user is asked
            // declines that call.)
            const bool stopped = cancellation && cancellation->isCancelled();
            // Asked before the call is recorded: the card stands where its row will be.
            const bool approved =
                co_await m_approval->approve(conversationId, toolCall, cancellation);
            if (!self || !m_store) {
                co_return;
            }
            ChatMessage callRecord = ChatMessage::make(Role::tool, QString());
            callRecord.toolCall =
                ToolCallInfo{toolCall.id,           toolCall.name,   toolCall.arguments,
                             toolCall.rawArguments, toolCall.extras, toolCall.writtenAsText};
            if (!m_store->appendMessage(conversationId, std::move(callRecord))) {
                co_return;
            }
            ToolOutcome outcome{toolCall.name, false,
                                stopped ? notRunAfterStop()
                                        : ToolApproval::declinedText(toolCall.name)};
            if (approved && !stopped) {
                outcome =
                    co_await m_tools->run(toolCall.name, toolCall.arguments, cancellation.get());
            }
            if (!self || !m_store) {
                co_return;
            }
            ChatMessage resultRecord = ChatMessage::make(Role::tool, outcome.output);
            resultRecord.toolResult =
                ToolResultInfo{toolCall.id, outcome.tool, outcome.success, outcome.output};
            if (!m_store->appendMessage(conversationId, std::move(resultRecord))) {
                co_return;
            }
            personaChanged = personaChanged || changesPersona(toolCall);
        }
        // After the results: a note between a call and its result would part them.
        m_requests->appendNote(conversationId, sent.note);
        if (personaChanged && m_persona) {
            m_persona->reload();
            systemPrompt = m_persona->systemPrompt();
        }
    }
}

std::unique_ptr<StreamedReply> ToolLoop::startStreamedReply(const Backend& backend,
                                                            const QUuid& conversationId,
                                                            const QUuid& placeholderId) {
    if (!backend.streamsReplies) {
        return nullptr;
    }
    auto streamed = std::make_unique<StreamedReply>(m_store, conversationId, placeholderId);
    connect(streamed.get(), &StreamedReply::thinkingChanged, this, &ToolLoop::replyThinkingChanged);
    m_streamed = streamed.get();
    return streamed;
}

QString ToolLoop::endStreamedReply(std::unique_ptr<StreamedReply> streamed) {
    if (!streamed) {
        return {};
    }
    const bool wasThinking = streamed->thinkingSince().has_value();
    QString arrived = streamed->text();
    streamed.reset();
    if (wasThinking) {
        Q_EMIT replyThinkingChanged();
    }
    return arrived;
}

std::optional<QDateTime> ToolLoop::replyThinkingSince() const {
    return m_streamed ? m_streamed->thinkingSince() : std::nullopt;
}

bool ToolLoop::changesPersona(const NativeToolCall& call) const {
    if (call.name != QStringLiteral("write_file") || !m_persona) {
        return false;
    }
    const auto path = call.arguments.constFind(QStringLiteral("path"));
    // By any spelling that reaches the files: "~/…", "a/./b", "a//b", a link.
    return path != call.arguments.constEnd() && m_persona->isSoulOrMemory(expandTilde(*path));
}

QString ToolLoop::recordMemoryTags(const QString& reply) {
    if (!m_persona) {
        return {};
    }
    QString firstFailure;
    for (const QString& tag : memoryTags(reply)) {
        const QString failure = m_persona->appendToDailyLog(tag);
        if (firstFailure.isEmpty() && !failure.isEmpty()) {
            firstFailure = memoryNotSavedPrefix() + failure;
        }
    }
    return firstFailure;
}
