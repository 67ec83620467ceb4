#include "core/conversation_database.h"

#include "core/message_record.h"
#include "core/sql_statement.h"
#include "storage/durable_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString driverName = QStringLiteral("QSQLITE");

// How long a deletion stays marked before a start purges it: another instance
// may still offer to take it back (its offer lasts seconds).
constexpr std::chrono::milliseconds heldDeletionAge = std::chrono::minutes(1);

// `deleted` is 0, or when the conversation was deleted (ms since the epoch; older
// files hold 1 there, long enough ago).
//
// Version 1. Message text is indexed by trigrams, so a search finds any part
// of a word, in any script, as the in-memory search does.
const char* const schema[] = {
    "CREATE TABLE conversations("
    " id TEXT PRIMARY KEY, title TEXT NOT NULL, created_at INTEGER NOT NULL,"
    " updated_at INTEGER NOT NULL, activity_at INTEGER NOT NULL,"
    " renamed INTEGER NOT NULL DEFAULT 0, is_phone INTEGER NOT NULL DEFAULT 0,"
    " deleted INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX conversations_by_activity ON conversations(deleted, activity_at DESC)",
    "CREATE TABLE messages("
    " seq INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE,"
    " conversation_id TEXT NOT NULL REFERENCES conversations(id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL, role TEXT NOT NULL, content TEXT NOT NULL,"
    " created_at INTEGER NOT NULL, details BLOB)",
    "CREATE INDEX messages_by_conversation ON messages(conversation_id, position)",
    "CREATE VIRTUAL TABLE message_text USING fts5("
    " content, content='messages', content_rowid='seq', tokenize='trigram')",
    "CREATE TRIGGER messages_inserted AFTER INSERT ON messages BEGIN"
    " INSERT INTO message_text(rowid, content) VALUES (new.seq, new.content); END",
    "CREATE TRIGGER messages_deleted AFTER DELETE ON messages BEGIN"
    " INSERT INTO message_text(message_text, rowid, content)"
    " VALUES ('delete', old.seq, old.content); END",
    "CREATE TRIGGER messages_changed AFTER UPDATE OF content ON messages BEGIN"
    " INSERT INTO message_text(message_text, rowid, content)"
    " VALUES ('delete', old.seq, old.content);"
    " INSERT INTO message_text(rowid, content) VALUES (new.seq, new.content); END",
};

qint64 msecs(const QDateTime& time) {
    return time.isValid() ? time.toMSecsSinceEpoch() : 0;
}

QDateTime fromMsecs(const QVariant& value) {
    return QDateTime::fromMSecsSinceEpoch(value.toLongLong());
}

QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces);
}

using Sql::errorOf;
using Sql::run;
using Sql::Statement;

// Made readable by the user only, before the database library first opens it.
bool createPrivateFile(const QString& path, QString* problem) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) {
            return true;
        }
        *problem = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

ConversationDatabase::ConversationDatabase(QString connectionName)
    : m_connectionName(std::move(connectionName)) {}

ConversationDatabase::~ConversationDatabase() {
    close();
}

bool ConversationDatabase::fail(const QString& problem) {
    m_problem = problem;
    return false;
}

ConversationDatabase::State ConversationDatabase::open(const QString& path) {
    close();
    m_problem.clear();
    auto failed = [this](const QString& problem) {
        close();
        m_state = State::failed;
        m_problem = problem;
        return m_state;
    };
    if (!QSqlDatabase::isDriverAvailable(driverName)) {
        return failed(QStringLiteral("Qt's SQLite driver is not installed (libqt6sql6-sqlite)"));
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(folder)) {
        const WriteResult made = createDirectories(folder);
        if (!made.ok()) {
            return failed(made.description());
        }
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    }
    QString problem;
    if (!createPrivateFile(path, &problem)) {
        return failed(problem);
    }

    // Read-write first; a newer version's file is opened again, read-only.
    for (bool readOnly : {false, true}) {
        if (const QString problem = connect(path, readOnly); !problem.isEmpty()) {
            return failed(problem);
        }
        if (m_fileVersion > schemaVersion && !readOnly) {
            close();
            continue;
        }
        m_state = readOnly ? State::readOnly : State::writable;
        if (!readOnly && !prepareSchema()) {
            return failed(m_problem);
        }
        return m_state;
    }
    return failed(QStringLiteral("the file could not be opened"));
}

// Opens the connection, reads the schema version and checks the file; why not, or empty.
QString ConversationDatabase::connect(const QString& path, bool readOnly) {
    QSqlDatabase db = QSqlDatabase::addDatabase(driverName, m_connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(readOnly
                             ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                             : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        return db.lastError().databaseText();
    }
    if (!StoredSearch::installFunctions(db)) {
        return QStringLiteral("the SQLite library could not be reached");
    }
    // A search visits a page or two of every conversation; SQLite's own 2 MiB
    // cache would read them from the file again at each keystroke.
    run(db, QStringLiteral("PRAGMA cache_size=-65536"));
    Statement version = run(db, QStringLiteral("PRAGMA user_version"));
    if (!version.ok || !version.query.next()) {
        return errorOf(version.query);
    }
    m_fileVersion = version.query.value(0).toInt();
    if (m_fileVersion > schemaVersion && !readOnly) {
        return {};
    }
    version.query.finish();
    Statement check = run(db, QStringLiteral("PRAGMA quick_check"));
    if (!check.ok || !check.query.next()) {
        return errorOf(check.query);
    }
    const QString verdict = check.query.value(0).toString();
    check.query.finish();
    return verdict == QLatin1String("ok") ? QString()
                                          : QStringLiteral("the file is damaged (%1)").arg(verdict);
}

bool ConversationDatabase::prepareSchema() {
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (m_fileVersion < schemaVersion) {
        // Checked before anything is written: a file of another program stays as it is.
        Statement tables = run(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (!tables.ok || !tables.query.next()) {
            return fail(errorOf(tables.query));
        }
        if (tables.query.value(0).toInt() > 0) {
            return fail(QStringLiteral("the file holds something else than kept conversations"));
        }
    }
    {
        Statement wal = run(db, QStringLiteral("PRAGMA journal_mode=WAL"));
        if (!wal.ok || !wal.query.next() ||
            wal.query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
            return fail(errorOf(wal.query));
        }
    } // finished: a statement still open would hold back the commits below
    // A commit in WAL mode survives the process being killed; only a power cut
    // can take back the last ones.
    run(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
    run(db, QStringLiteral("PRAGMA foreign_keys=ON"));
    if (m_fileVersion == schemaVersion) {
        // What was deleted and not taken back before a crash.
        return purgeDeletionsOlderThan(heldDeletionAge);
    }
    return runInTransaction([&] {
        for (const char* statement : schema) {
            Statement made = run(db, QString::fromLatin1(statement));
            if (!made.ok) {
                return fail(errorOf(made.query));
            }
        }
        Statement version = run(db, QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion));
        m_fileVersion = schemaVersion;
        return version.ok || fail(errorOf(version.query));
    });
}

void ConversationDatabase::close() {
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    m_state = State::closed;
}

QString ConversationDatabase::removeFiles(const QString& path) {
    QString problem;
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        QFile file(path + suffix);
        if (file.exists() && !file.remove() && problem.isEmpty()) {
            problem = file.errorString();
        }
    }
    return problem;
}

bool ConversationDatabase::runInTransaction(const std::function<bool()>& work) {
    if (m_state != State::writable) {
        return fail(QStringLiteral("the file is not open for writing"));
    }
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.transaction()) {
        return fail(db.lastError().databaseText());
    }
    if (!work()) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        const QString problem = db.lastError().databaseText();
        db.rollback();
        return fail(problem);
    }
    return true;
}

namespace {

Statement upsertHeader(const QSqlDatabase& db, const Conversation& conversation, bool isPhone) {
    const qint64 lastMessage =
        conversation.messages.isEmpty() ? 0 : msecs(conversation.messages.last().timestamp);
    return run(db,
               QStringLiteral(
                   "INSERT INTO conversations(id, title, created_at, updated_at, activity_at,"
                   " renamed, is_phone) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT(id) DO UPDATE SET"
                   " title = excluded.title, updated_at = excluded.updated_at,"
                   " activity_at = max(activity_at, excluded.activity_at),"
                   " renamed = excluded.renamed, is_phone = excluded.is_phone, deleted = 0"),
               {idText(conversation.id), conversation.title, msecs(conversation.createdAt),
                msecs(conversation.updatedAt), std::max(msecs(conversation.updatedAt), lastMessage),
                conversation.renamed ? 1 : 0, isPhone ? 1 : 0});
}

} // namespace

bool ConversationDatabase::storeHeader(const Conversation& conversation, bool isPhone) {
    return runInTransaction([&] {
        Statement stored =
            upsertHeader(QSqlDatabase::database(m_connectionName, false), conversation, isPhone);
        return stored.ok || fail(errorOf(stored.query));
    });
}

namespace {

// Appended at the end of its conversation; a message stored before keeps its
// place and only has its text and details replaced.
Statement upsertMessage(const QSqlDatabase& db, const QUuid& conversationId,
                        const ChatMessage& message) {
    const QString conversation = idText(conversationId);
    Statement stored =
        run(db,
            QStringLiteral("INSERT INTO messages(id, conversation_id, position, role, content, "
                           "created_at, details)"
                           " VALUES (?, ?, (SELECT coalesce(max(position), -1) + 1 FROM messages"
                           " WHERE conversation_id = ?), ?, ?, ?, ?) ON CONFLICT(id) DO UPDATE SET"
                           " content = excluded.content, details = excluded.details"),
            // A null text would be bound as NULL: a tool call's record has none.
            {idText(message.id), conversation, conversation, toText(message.role),
             message.content.isNull() ? QStringLiteral("") : message.content,
             msecs(message.timestamp), messageDetails(message)});
    if (!stored.ok) {
        return stored;
    }
    return run(db,
               QStringLiteral("UPDATE conversations SET activity_at = max(activity_at, ?)"
                              " WHERE id = ?"),
               {msecs(message.timestamp), conversation});
}

} // namespace

bool ConversationDatabase::storeMessage(const QUuid& conversationId, const ChatMessage& message) {
    return runInTransaction([&] {
        Statement stored =
            upsertMessage(QSqlDatabase::database(m_connectionName, false), conversationId, message);
        return stored.ok || fail(errorOf(stored.query));
    });
}

bool ConversationDatabase::storeConversation(const Conversation& conversation, bool isPhone) {
    return runInTransaction([&] {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        Statement header = upsertHeader(db, conversation, isPhone);
        if (!header.ok) {
            return fail(errorOf(header.query));
        }
        for (const ChatMessage& message : conversation.messages) {
            Statement stored = upsertMessage(db, conversation.id, message);
            if (!stored.ok) {
                return fail(errorOf(stored.query));
            }
        }
        return true;
    });
}

bool ConversationDatabase::removeMessages(const QList<QUuid>& messageIds) {
    return runInTransaction([&] {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        for (const QUuid& id : messageIds) {
            Statement removed =
                run(db, QStringLiteral("DELETE FROM messages WHERE id = ?"), {idText(id)});
            if (!removed.ok) {
                return fail(errorOf(removed.query));
            }
        }
        return true;
    });
}

bool ConversationDatabase::setDeleted(const QUuid& conversationId, bool deleted) {
    return runInTransaction([&] {
        Statement marked =
            run(QSqlDatabase::database(m_connectionName, false),
                QStringLiteral("UPDATE conversations SET deleted = ? WHERE id = ?"),
                {deleted ? QDateTime::currentMSecsSinceEpoch() : 0, idText(conversationId)});
        return marked.ok || fail(errorOf(marked.query));
    });
}

bool ConversationDatabase::purge(const QUuid& conversationId) {
    return runInTransaction([&] {
        Statement purged =
            run(QSqlDatabase::database(m_connectionName, false),
                QStringLiteral("DELETE FROM conversations WHERE id = ? AND deleted != 0"),
                {idText(conversationId)});
        return purged.ok || fail(errorOf(purged.query));
    });
}

bool ConversationDatabase::purgeDeletionsOlderThan(std::chrono::milliseconds age) {
    return runInTransaction([&] {
        Statement purged =
            run(QSqlDatabase::database(m_connectionName, false),
                QStringLiteral("DELETE FROM conversations WHERE deleted != 0 AND deleted < ?"),
                {QDateTime::currentMSecsSinceEpoch() - age.count()});
        return purged.ok || fail(errorOf(purged.query));
    });
}

QList<ConversationDatabase::Listed> ConversationDatabase::listConversations() {
    QList<Listed> listed;
    Statement rows =
        run(QSqlDatabase::database(m_connectionName, false),
            QStringLiteral(
                "SELECT id, title, created_at, updated_at, renamed, is_phone"
                " FROM conversations WHERE deleted = 0 ORDER BY activity_at DESC, rowid DESC"));
    if (!rows.ok) {
        fail(errorOf(rows.query));
        return listed;
    }
    while (rows.query.next()) {
        Listed entry;
        Conversation& conversation = entry.conversation;
        conversation.id = QUuid::fromString(rows.query.value(0).toString());
        conversation.title = rows.query.value(1).toString();
        conversation.createdAt = fromMsecs(rows.query.value(2));
        conversation.updatedAt = fromMsecs(rows.query.value(3));
        conversation.renamed = rows.query.value(4).toBool();
        conversation.messagesPending = true;
        entry.isPhone = rows.query.value(5).toBool();
        listed.append(std::move(entry));
    }
    return listed;
}

std::optional<QList<ChatMessage>> ConversationDatabase::messages(const QUuid& conversationId) {
    Statement rows =
        run(QSqlDatabase::database(m_connectionName, false),
            QStringLiteral("SELECT id, role, content, created_at, details FROM messages"
                           " WHERE conversation_id = ? ORDER BY position"),
            {idText(conversationId)});
    if (!rows.ok) {
        fail(errorOf(rows.query));
        return std::nullopt;
    }
    QList<ChatMessage> messages;
    while (rows.query.next()) {
        ChatMessage message;
        message.id = QUuid::fromString(rows.query.value(0).toString());
        message.role = roleFromText(rows.query.value(1).toString()).value_or(Role::system);
        message.content = rows.query.value(2).toString();
        message.timestamp = fromMsecs(rows.query.value(3));
        readMessageDetails(rows.query.value(4).toByteArray(), message);
        messages.append(std::move(message));
    }
    return messages;
}

int ConversationDatabase::conversationCount() {
    Statement count = run(QSqlDatabase::database(m_connectionName, false),
                          QStringLiteral("SELECT count(*) FROM conversations WHERE deleted = 0"));
    return count.ok && count.query.next() ? count.query.value(0).toInt() : 0;
}

QList<ConversationDatabase::Hit>
ConversationDatabase::search(const QString& text, const StoredSearch::Abandoned& abandoned) {
    StoredSearch::Result found = StoredSearch::run(QSqlDatabase::database(m_connectionName, false),
                                                   text.trimmed(), abandoned);
    if (!found.problem.isEmpty()) {
        fail(found.problem);
    }
    return found.hits;
}
