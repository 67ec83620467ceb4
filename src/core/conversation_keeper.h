#pragma once

#include "core/conversation_database.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

// Whether conversations are kept: off, opening the file, keeping them in it,
// reading a newer version's file without writing it, or unable to use the file.
namespace KeptConversationsStateType {
Q_NAMESPACE
enum class Value { off, opening, keeping, readOnly, failed };
Q_ENUM_NS(Value)
} // namespace KeptConversationsStateType

class ConversationStore;
class DatabaseThread;
class Preferences;

// Keeps the conversations on this computer while the user wants it: every
// change the store announces is written as it happens (on the file's own
// thread), and at the start the kept conversations are listed below the ones
// open now, their messages read when one is opened. A file that cannot be
// read or is damaged is left untouched and the app goes on in memory; one
// from a newer version is read but never written.
class ConversationKeeper : public QObject {
    Q_OBJECT
    Q_PROPERTY(KeptConversationsStateType::Value state READ state NOTIFY stateChanged)
    // Why the file cannot be used, in the system's words (state failed).
    Q_PROPERTY(QString problem READ problem NOTIFY stateChanged)
    Q_PROPERTY(QString databasePath READ databasePath CONSTANT)
    // Why the file the user asked to delete is still there (state off).
    Q_PROPERTY(QString deleteProblem READ deleteProblem NOTIFY stateChanged)
    // Conversations in the file now (deleted ones that can still be taken back excluded).
    Q_PROPERTY(int storedCount READ storedCount NOTIFY storedCountChanged)

public:
    using State = KeptConversationsStateType::Value;

    // `isPhone` tells the phone conversation (it is kept as such, for the bridge to find again).
    ConversationKeeper(ConversationStore* store, Preferences* preferences, QString databasePath,
                       std::function<bool(const QUuid&)> isPhone, QObject* parent = nullptr);
    ~ConversationKeeper() override;

    // Starts following the preference. Called once its signals are connected: the
    // file may open, and say what it found, before the call returns.
    void begin();

    // $XDG_DATA_HOME/Emberglass/conversations.sqlite (~/.local/share when unset).
    static QString defaultDatabasePath();

    State state() const { return m_state; }
    QString problem() const { return m_problem; }
    QString databasePath() const { return m_path; }
    QString deleteProblem() const { return m_deleteProblem; }
    int storedCount() const { return static_cast<int>(m_stored.size()); }

    // Stops keeping (and saves the preference): every kept conversation is
    // read into memory first, so the window loses nothing; then the file is
    // removed when `deleteStored`, else left for a later start.
    Q_INVOKABLE void turnOff(bool deleteStored);

    // The messages of a listed conversation, read now if they wait on disk.
    QCoro::Task<bool> loadMessages(QUuid conversationId);
    // Kept conversations whose text holds `text`, with the text around the first match.
    // Asking again gives up the search before (its answer is then empty); so
    // does asking with empty text.
    QCoro::Task<QList<ConversationDatabase::Hit>> searchStored(QString text);
    bool isStored(const QUuid& id) const { return m_stored.contains(id); }
    // A deletion that can no longer be taken back: the conversation leaves the file.
    void forget(const QUuid& conversationId);
    // Waits until every change so far is in the file (tests and benchmarks).
    void waitForWrites();

Q_SIGNALS:
    void stateChanged();
    void storedCountChanged();
    // The kept phone conversation, listed again at the start.
    void phoneConversationFound(const QUuid& id);
    // Listed (or turned off) and idle: the state tests and benchmarks wait for.
    void settled();
    // Keeping is being turned off: messages still in the file are read now or never.
    void stopping();

private:
    void follow(bool keep);
    QCoro::Task<> start();
    QCoro::Task<> stop(bool deleteStored);
    void setState(State state, const QString& problem = {});
    bool writing() const { return m_state == State::keeping && !m_stopping; }
    bool worthKeeping(const Conversation& conversation) const;
    // Queues a change for the file; a failure is reported back here.
    void write(std::function<bool(ConversationDatabase&)> change, QString key = {});
    void storeWhole(const Conversation& conversation);
    void storeHeader(int index);
    void storeMessage(const QUuid& conversationId, int row);
    void conversationsInserted(int first, int last);
    void conversationAboutToBeRemoved(int index);
    void messagesWritten(const QUuid& conversationId, int row);
    void messagesAboutToBeRemoved(const QUuid& conversationId, int first, int last);
    void noteWriteFailure(const QString& problem);

    ConversationStore* m_store;
    Preferences* m_preferences;
    QString m_path;
    std::function<bool(const QUuid&)> m_isPhone;
    std::unique_ptr<DatabaseThread> m_thread;
    State m_state = State::off;
    QString m_problem;
    QString m_deleteProblem;
    QSet<QUuid> m_stored;  // in the file, not deleted
    QSet<QUuid> m_deleted; // in the file, marked deleted, restorable
    QSet<QUuid> m_loading; // messages being read
    int m_generation = 0;  // a start or stop overtakes the ones before
    // The newest search; read on the file's thread to give up older ones.
    std::shared_ptr<std::atomic<int>> m_newestSearch = std::make_shared<std::atomic<int>>(0);
    // Set on the file's thread by a failed write of this opening.
    std::shared_ptr<bool> m_writeFailed;
    bool m_deleteOnStop = false;
    bool m_stopping = false; // turned off, the file not yet let go
};
