#include "core/conversation_keeper.h"

#include "core/conversation_store.h"
#include "core/database_thread.h"
#include "core/preferences.h"

#include <QCoroFuture>
#include <QDir>
#include <QPointer>

namespace {

// What opening the file found: its state and, when it can be read, the listing.
struct Opening {
    ConversationDatabase::State state = ConversationDatabase::State::failed;
    QString problem;
    QList<ConversationDatabase::Listed> listed;
};

using MessagesById = QHash<QUuid, QList<ChatMessage>>;

// What letting the file go found: the messages that waited in it, and why the
// file stayed when it was to be deleted.
struct Closing {
    MessagesById messages;
    QString deleteProblem;
};

} // namespace

ConversationKeeper::ConversationKeeper(ConversationStore* store, Preferences* preferences,
                                       QString databasePath,
                                       std::function<bool(const QUuid&)> isPhone, QObject* parent)
    : QObject(parent), m_store(store), m_preferences(preferences),
      m_path(databasePath.isEmpty() ? defaultDatabasePath() : std::move(databasePath)),
      m_isPhone(std::move(isPhone)) {
    connect(store, &ConversationStore::conversationsInserted, this,
            &ConversationKeeper::conversationsInserted);
    connect(store, &ConversationStore::conversationAboutToBeRemoved, this,
            &ConversationKeeper::conversationAboutToBeRemoved);
    connect(store, &ConversationStore::conversationChanged, this, &ConversationKeeper::storeHeader);
    connect(store, &ConversationStore::messageAppended, this, &ConversationKeeper::messagesWritten);
    connect(store, &ConversationStore::messageChanged, this, &ConversationKeeper::messagesWritten);
    connect(store, &ConversationStore::messagesAboutToBeRemoved, this,
            &ConversationKeeper::messagesAboutToBeRemoved);
    // Opening a listed conversation reads its messages.
    connect(store, &ConversationStore::currentConversationIdChanged, this, [this] {
        if (const Conversation* current = m_store->currentConversation();
            current != nullptr && current->messagesPending) {
            loadMessages(current->id);
        }
    });
    connect(preferences, &Preferences::keepConversationsChanged, this,
            [this] { follow(m_preferences->keepConversations()); });
}

void ConversationKeeper::begin() {
    follow(m_preferences->keepConversations());
}

// Everything queued reaches the file before the thread ends.
ConversationKeeper::~ConversationKeeper() = default;

QString ConversationKeeper::defaultDatabasePath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/Emberglass/conversations.sqlite");
}

void ConversationKeeper::setState(State state, const QString& problem) {
    if (m_state == state && m_problem == problem) {
        return;
    }
    m_state = state;
    m_problem = problem;
    Q_EMIT stateChanged();
}

void ConversationKeeper::follow(bool keep) {
    const bool keeping = m_state != State::off && !m_stopping;
    if (keep && !keeping) {
        start();
    } else if (!keep && keeping) {
        stop(m_deleteOnStop);
    }
}

void ConversationKeeper::turnOff(bool deleteStored) {
    if (m_state == State::off || m_stopping) {
        return;
    }
    m_deleteOnStop = deleteStored; // the preference's change stops it
    m_preferences->setKeepConversations(false);
    m_deleteOnStop = false;
}

// Starting and stopping ---------------------------------------------------------

QCoro::Task<> ConversationKeeper::start() {
    const int generation = ++m_generation;
    QPointer<ConversationKeeper> self(this);
    m_stopping = false;
    m_deleteProblem.clear();
    setState(State::opening);
    static int connections = 0;
    m_thread = std::make_unique<DatabaseThread>(
        QStringLiteral("emberglass-kept-conversations-%1").arg(++connections));
    m_writeFailed = std::make_shared<bool>(false);
    // Futures are made before they are awaited: g++ 12 destroys temporaries of a
    // co_await expression (such as a lambda's captures) twice.
    const QFuture<Opening> opened =
        m_thread->read<Opening>([path = m_path](ConversationDatabase& database) {
            Opening found;
            found.state = database.open(path);
            found.problem = database.problem();
            if (found.state == ConversationDatabase::State::writable ||
                found.state == ConversationDatabase::State::readOnly) {
                found.listed = database.listConversations();
                if (!database.problem().isEmpty()) {
                    found.state = ConversationDatabase::State::failed;
                    found.problem = database.problem();
                }
            }
            if (found.state == ConversationDatabase::State::failed) {
                database.close(); // nothing written, nothing renamed
            }
            return found;
        });
    const Opening opening = co_await opened;
    if (!self || generation != m_generation) {
        co_return;
    }
    if (opening.state == ConversationDatabase::State::failed) {
        m_thread.reset();
        setState(State::failed, opening.problem);
        Q_EMIT settled();
        co_return;
    }
    setState(opening.state == ConversationDatabase::State::writable ? State::keeping
                                                                    : State::readOnly);
    // What is open now is kept too (newer than the file where both hold it).
    for (const Conversation& conversation : m_store->conversations()) {
        if (writing() && worthKeeping(conversation)) {
            storeWhole(conversation);
        }
    }
    QList<Conversation> listed;
    std::optional<QUuid> phone;
    for (const ConversationDatabase::Listed& entry : opening.listed) {
        m_stored.insert(entry.conversation.id);
        if (m_store->find(entry.conversation.id) == nullptr) {
            listed.append(entry.conversation);
            if (entry.isPhone && !phone) {
                phone = entry.conversation.id;
            }
        }
    }
    m_store->appendConversations(std::move(listed));
    Q_EMIT storedCountChanged();
    if (phone) {
        // Phone messages may arrive at any time: its messages are read at once.
        Q_EMIT phoneConversationFound(*phone);
        co_await loadMessages(*phone);
        if (!self) {
            co_return;
        }
    }
    Q_EMIT settled();
}

QCoro::Task<> ConversationKeeper::stop(bool deleteStored) {
    const int generation = ++m_generation;
    QPointer<ConversationKeeper> self(this);
    Q_EMIT stopping();
    if (!m_thread) { // it never opened
        setState(State::off);
        Q_EMIT settled();
        co_return;
    }
    const bool removeFile = deleteStored && m_state == State::keeping;
    m_stopping = true; // nothing more is written; off once the file is let go

    // The conversations stay in the window for this session, whole.
    QList<QUuid> pending;
    for (const Conversation& conversation : m_store->conversations()) {
        if (conversation.messagesPending) {
            pending.append(conversation.id);
        }
    }
    const QFuture<Closing> read = m_thread->read<Closing>(
        [pending, removeFile, path = m_path](ConversationDatabase& database) {
            Closing closing;
            for (const QUuid& id : pending) {
                closing.messages.insert(id, database.messages(id).value_or(QList<ChatMessage>()));
            }
            database.close();
            if (removeFile) {
                closing.deleteProblem = ConversationDatabase::removeFiles(path);
            }
            return closing;
        });
    const Closing closing = co_await read;
    if (!self || generation != m_generation) {
        co_return;
    }
    for (auto it = closing.messages.begin(); it != closing.messages.end(); ++it) {
        m_store->fillMessages(it.key(), it.value());
    }
    m_deleteProblem = closing.deleteProblem;
    m_thread.reset(); // idle: the join is immediate
    m_stopping = false;
    m_stored.clear();
    m_deleted.clear();
    setState(State::off);
    Q_EMIT storedCountChanged();
    Q_EMIT settled();
}

// Reading -------------------------------------------------------------------------

QCoro::Task<bool> ConversationKeeper::loadMessages(QUuid conversationId) {
    const Conversation* conversation = m_store->find(conversationId);
    if (conversation == nullptr || !conversation->messagesPending) {
        co_return conversation != nullptr;
    }
    if (!m_thread || m_loading.contains(conversationId)) {
        co_return false;
    }
    QPointer<ConversationKeeper> self(this);
    m_loading.insert(conversationId);
    const auto read = m_thread->read<std::optional<QList<ChatMessage>>>(
        [conversationId](ConversationDatabase& database) {
            return database.messages(conversationId);
        });
    const std::optional<QList<ChatMessage>> messages = co_await read;
    if (!self) {
        co_return false;
    }
    m_loading.remove(conversationId);
    co_return messages && m_store->fillMessages(conversationId, *messages);
}

QCoro::Task<QList<ConversationDatabase::Hit>> ConversationKeeper::searchStored(QString text) {
    const int search = ++*m_newestSearch;
    if (text.trimmed().isEmpty() || !m_thread ||
        (m_state != State::keeping && m_state != State::readOnly)) {
        co_return QList<ConversationDatabase::Hit>();
    }
    // While typing, each keystroke's search makes way for the next one's.
    StoredSearch::Abandoned abandoned = [newest = m_newestSearch, search] {
        return newest->load() != search;
    };
    const auto found = m_thread->read<QList<ConversationDatabase::Hit>>(
        [text, abandoned](ConversationDatabase& database) {
            return database.search(text, abandoned);
        });
    co_return co_await found;
}

void ConversationKeeper::waitForWrites() {
    if (m_thread) {
        m_thread->drain();
    }
}

// Writing -------------------------------------------------------------------------

bool ConversationKeeper::worthKeeping(const Conversation& conversation) const {
    // A conversation nobody has written in yet (a fresh greeting) is not kept.
    return conversation.renamed || m_isPhone(conversation.id) ||
           std::ranges::any_of(conversation.messages, [](const ChatMessage& message) {
               return message.role == Role::user;
           });
}

void ConversationKeeper::noteWriteFailure(const QString& problem) {
    // The window goes on in memory; the file keeps what it has.
    if (m_state == State::keeping) {
        setState(State::failed, problem);
    }
}

void ConversationKeeper::write(std::function<bool(ConversationDatabase&)> change, QString key) {
    // After a failed write the file keeps what it has: a change queued behind it
    // (a header behind its failed messages) would leave half of one there.
    m_thread->write(
        [this, failed = m_writeFailed, change = std::move(change)](ConversationDatabase& database) {
            if (*failed) {
                return;
            }
            if (!change(database)) { // reported on the window's thread
                *failed = true;
                QMetaObject::invokeMethod(
                    this, [this, problem = database.problem()] { noteWriteFailure(problem); },
                    Qt::QueuedConnection);
            }
        },
        std::move(key));
}

void ConversationKeeper::storeWhole(const Conversation& conversation) {
    const bool phone = m_isPhone(conversation.id);
    m_stored.insert(conversation.id);
    write([conversation, phone](ConversationDatabase& database) {
        return database.storeConversation(conversation, phone);
    });
    Q_EMIT storedCountChanged();
}

void ConversationKeeper::storeHeader(int index) {
    if (!writing() || index < 0 || index >= m_store->conversations().size()) {
        return;
    }
    const Conversation& conversation = m_store->conversations().at(index);
    if (!m_stored.contains(conversation.id)) {
        if (worthKeeping(conversation)) {
            storeWhole(conversation);
        }
        return;
    }
    Conversation header = conversation;
    header.messages.clear();
    if (!conversation.messages.isEmpty()) {
        header.messages.append(conversation.messages.last()); // for its time only
    }
    const bool phone = m_isPhone(conversation.id);
    write([header,
           phone](ConversationDatabase& database) { return database.storeHeader(header, phone); },
          QStringLiteral("h:") + conversation.id.toString());
}

void ConversationKeeper::messagesWritten(const QUuid& conversationId, int row) {
    if (!writing()) {
        return;
    }
    const Conversation* conversation = m_store->find(conversationId);
    if (conversation == nullptr || row < 0 || row >= conversation->messages.size()) {
        return;
    }
    if (!m_stored.contains(conversationId)) {
        if (worthKeeping(*conversation)) {
            storeWhole(*conversation);
        }
        return;
    }
    const ChatMessage message = conversation->messages.at(row);
    write(
        [conversationId, message](ConversationDatabase& database) {
            return database.storeMessage(conversationId, message);
        },
        QStringLiteral("m:") + message.id.toString());
}

void ConversationKeeper::messagesAboutToBeRemoved(const QUuid& conversationId, int first,
                                                  int last) {
    const Conversation* conversation = m_store->find(conversationId);
    if (!writing() || conversation == nullptr || !m_stored.contains(conversationId)) {
        return;
    }
    QList<QUuid> removed;
    for (int row = first; row <= last && row < conversation->messages.size(); ++row) {
        removed.append(conversation->messages.at(row).id);
    }
    write([removed](ConversationDatabase& database) { return database.removeMessages(removed); });
}

void ConversationKeeper::conversationsInserted(int first, int last) {
    if (!writing()) {
        return;
    }
    for (int index = first; index <= last; ++index) {
        const Conversation& conversation = m_store->conversations().at(index);
        if (m_deleted.remove(conversation.id)) { // a deletion taken back
            m_stored.insert(conversation.id);
            m_thread->write([id = conversation.id](ConversationDatabase& database) {
                database.setDeleted(id, false);
            });
            Q_EMIT storedCountChanged();
        } else if (!m_stored.contains(conversation.id) && worthKeeping(conversation)) {
            storeWhole(conversation);
        }
    }
}

void ConversationKeeper::conversationAboutToBeRemoved(int index) {
    const QUuid id = m_store->conversations().at(index).id;
    if (!writing() || !m_stored.remove(id)) {
        return;
    }
    m_deleted.insert(id);
    m_thread->write([id](ConversationDatabase& database) { database.setDeleted(id, true); });
    Q_EMIT storedCountChanged();
}

void ConversationKeeper::forget(const QUuid& conversationId) {
    if (m_deleted.remove(conversationId) && m_thread && writing()) {
        m_thread->write(
            [conversationId](ConversationDatabase& database) { database.purge(conversationId); });
    }
}
