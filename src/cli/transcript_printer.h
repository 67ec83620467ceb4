#pragma once

#include <QObject>
#include <QSet>
#include <QUuid>

#include <cstdio>

class ConversationStore;
struct ChatMessage;

// Prints a conversation as it grows: tool calls, tool results and replies, as
// readable lines or as one JSON object per message.
class TranscriptPrinter : public QObject {
    Q_OBJECT

public:
    enum class Format { text, json };

    TranscriptPrinter(ConversationStore* store, Format format, std::FILE* out,
                      QObject* parent = nullptr);

    // Messages of other conversations are ignored; an empty id follows every one.
    void follow(const QUuid& conversationId) { m_followed = conversationId; }

    // Streamed replies grow piece by piece: print them only when told they ended.
    void setDeferReplies(bool defer) { m_deferReplies = defer; }
    void printLastMessage(const QUuid& conversationId);

private:
    void onAppended(const QUuid& conversationId, int row);
    void onChanged(const QUuid& conversationId, int row);
    void print(const ChatMessage& message);

    ConversationStore* m_store;
    Format m_format;
    std::FILE* m_out;
    QUuid m_followed;
    bool m_deferReplies = false;
    QSet<QUuid> m_printed; // each message once, when it has its final content
};
