#pragma once

#include "core/wire_message_builder.h"

#include <QHash>
#include <QUuid>

#include <functional>

// Request messages for conversations that only grow: each message's wire form
// is kept and reused while the message is unchanged (for an assistant turn:
// also its reasoning and the number of call records after it), so a pass of the
// agent loop on a long conversation does not rebuild every message. The result
// is always what buildWireMessages gives.
class WireMessageCache {
public:
    WireMessages build(const Conversation& conversation, const QString& systemPrompt,
                       WireMode mode);

    // Drops what is kept for conversations that no longer exist.
    void retainOnly(const std::function<bool(const QUuid& conversationId)>& exists);

private:
    struct Entry {
        QString content;
        std::optional<QString> reasoningContent;
        qsizetype followingCalls = 0;
        std::optional<WireMessage> wire;
    };
    struct ConversationEntries {
        WireMode mode = WireMode::native;
        QHash<QUuid, Entry> messages;
    };

    QHash<QUuid, ConversationEntries> m_conversations;
};
