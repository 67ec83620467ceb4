#include "core/wire_message_cache.h"

namespace {

qsizetype callRecordsAfter(const QList<ChatMessage>& messages, qsizetype index) {
    qsizetype count = 0;
    for (qsizetype next = index + 1; next < messages.size() && messages[next].role == Role::tool;
         ++next) {
        count += messages[next].toolCall ? 1 : 0;
    }
    return count;
}

} // namespace

WireMessages WireMessageCache::build(const Conversation& conversation, const QString& systemPrompt,
                                     WireMode mode) {
    ConversationEntries& entries = m_conversations[conversation.id];
    if (entries.mode != mode) {
        entries = ConversationEntries{mode, {}};
    }
    WireMessages out = systemPromptMessages(systemPrompt);
    const QList<ChatMessage>& messages = conversation.messages;
    for (qsizetype i = 0; i < messages.size(); ++i) {
        const ChatMessage& message = messages[i];
        // Only an assistant turn looks at the messages after it.
        const qsizetype following =
            message.role == Role::assistant ? callRecordsAfter(messages, i) : 0;
        auto found = entries.messages.find(message.id);
        if (found == entries.messages.end() || found->content != message.content ||
            found->reasoningContent != message.reasoningContent ||
            found->followingCalls != following) {
            found = entries.messages.insert(message.id,
                                            Entry{message.content, message.reasoningContent,
                                                  following, wireMessageAt(messages, i, mode)});
        }
        if (found->wire) {
            out.append(*found->wire);
        }
    }
    return out;
}

void WireMessageCache::retainOnly(const std::function<bool(const QUuid&)>& exists) {
    for (auto it = m_conversations.begin(); it != m_conversations.end();) {
        it = exists(it.key()) ? std::next(it) : m_conversations.erase(it);
    }
}
