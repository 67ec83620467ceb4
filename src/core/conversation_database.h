#pragma once

#include "core/conversation.h"
#include "core/stored_search.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <chrono>
#include <functional>
#include <optional>

// One connection to the file that keeps conversations (SQLite through Qt SQL).
// Used from one thread at a time. Every write is one transaction, so a crash
// loses at most the change being written. A file that cannot be read, or that
// fails its check, is left exactly as it is; one written by a newer version of
// the app is opened read-only.
class ConversationDatabase {
public:
    static constexpr int schemaVersion = 1;

    enum class State { closed, writable, readOnly, failed };

    // A kept conversation as listed: everything but its messages.
    struct Listed {
        Conversation conversation; // messagesPending set, messages empty
        bool isPhone = false;
    };

    using Hit = StoredSearch::Hit;

    explicit ConversationDatabase(QString connectionName);
    ~ConversationDatabase();
    ConversationDatabase(const ConversationDatabase&) = delete;
    ConversationDatabase& operator=(const ConversationDatabase&) = delete;

    // Opens (creating the folder 0700 and the file 0600 when missing) and
    // prepares the file; problem() says why when the state is failed.
    State open(const QString& path);
    void close();
    State state() const { return m_state; }
    QString problem() const { return m_problem; }

    // Writes. Each is one transaction; false (and problem() says why) when it failed.
    bool storeConversation(const Conversation& conversation, bool isPhone);
    bool storeHeader(const Conversation& conversation, bool isPhone); // without messages
    bool storeMessage(const QUuid& conversationId, const ChatMessage& message);
    bool removeMessages(const QList<QUuid>& messageIds);
    // Deleted, but restorable until purged.
    bool setDeleted(const QUuid& conversationId, bool deleted);
    bool purge(const QUuid& conversationId); // if it is still marked deleted
    // Removes the file and its companions (the user asked for it); why one
    // stayed, empty when all are gone.
    static QString removeFiles(const QString& path);

    // Reads.
    QList<Listed> listConversations();
    std::optional<QList<ChatMessage>> messages(const QUuid& conversationId);
    int conversationCount();
    // Empty when it failed (problem() says why) or was abandoned.
    QList<Hit> search(const QString& text, const StoredSearch::Abandoned& abandoned = {});

private:
    QString connect(const QString& path, bool readOnly);
    bool prepareSchema();
    bool purgeDeletionsOlderThan(std::chrono::milliseconds age);
    bool fail(const QString& problem);
    bool runInTransaction(const std::function<bool()>& work);

    QString m_connectionName;
    State m_state = State::closed;
    QString m_problem;
    int m_fileVersion = 0; // the schema version the file holds (read-only: the newer one)
};
