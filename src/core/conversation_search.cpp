#include "core/conversation_search.h"

#include "core/conversation_keeper.h"
#include "core/conversation_store.h"
#include "core/search_text.h"

#include <QPointer>
#include <QSet>

ConversationSearch::ConversationSearch(ConversationStore* store, ConversationKeeper* keeper,
                                       QObject* parent)
    : QObject(parent), m_store(store), m_keeper(keeper) {}

void ConversationSearch::setText(const QString& text) {
    if (m_text == text) {
        return;
    }
    m_text = text;
    Q_EMIT textChanged();
    run(text.trimmed(), ++m_generation);
}

QCoro::Task<> ConversationSearch::run(QString text, int generation) {
    QHash<QUuid, QString> found;
    if (!text.isEmpty()) {
        for (const Conversation& conversation : m_store->conversations()) {
            if (containsSearchText(conversation.title, text)) {
                found.insert(conversation.id, QString());
                continue;
            }
            // Kept conversations are searched in the file below.
            if (conversation.messagesPending || m_keeper->isStored(conversation.id)) {
                continue;
            }
            for (const ChatMessage& message : conversation.messages) {
                if (containsSearchText(message.content, text)) {
                    found.insert(conversation.id, searchExcerpt(message.content, text));
                    break;
                }
            }
        }
    }
    // Also with empty text, so that a search still running is given up.
    QPointer<ConversationSearch> self(this);
    const auto stored = co_await m_keeper->searchStored(text);
    if (!self || generation != m_generation) {
        co_return; // a newer text was typed meanwhile
    }
    if (!stored.isEmpty()) {
        QSet<QUuid> listed; // the list may have changed meanwhile
        for (const Conversation& conversation : m_store->conversations()) {
            listed.insert(conversation.id);
        }
        for (const auto& hit : stored) {
            if (listed.contains(hit.conversationId) && !found.contains(hit.conversationId)) {
                found.insert(hit.conversationId, hit.excerpt);
            }
        }
    }
    m_matches = std::move(found);
    Q_EMIT resultsChanged();
}
