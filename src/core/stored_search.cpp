#include "core/stored_search.h"

#include "core/search_text.h"
#include "core/sql_statement.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace StoredSearch {

namespace {

// Below this many matching messages the index's own answer is the quicker one.
constexpr int indexedMatchLimit = 4000;

// How many virtual-machine steps SQLite takes between asking whether to give up.
constexpr int stepsBetweenChecks = 2000;

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

QStringView textOf(sqlite3_value* value) {
    const void* text = sqlite3_value_text16(value);
    const int bytes = sqlite3_value_bytes16(value);
    return text ? QStringView(static_cast<const QChar*>(text), bytes / qsizetype(sizeof(QChar)))
                : QStringView();
}

void containsSearchTextFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
    const QStringView text = textOf(arguments[0]);
    const QStringView wanted = textOf(arguments[1]);
    sqlite3_result_int(context, containsSearchText(text, wanted) ? 1 : 0);
}

// While it lives, SQLite stops the running statement once the search is abandoned.
class GiveUpWhenAbandoned {
public:
    GiveUpWhenAbandoned(const QSqlDatabase& db, const Abandoned& abandoned)
        : m_handle(handleOf(db)), m_abandoned(abandoned) {
        if (m_handle && m_abandoned) {
            sqlite3_progress_handler(m_handle, stepsBetweenChecks, &GiveUpWhenAbandoned::check,
                                     this);
        }
    }
    ~GiveUpWhenAbandoned() {
        if (m_handle && m_abandoned) {
            sqlite3_progress_handler(m_handle, 0, nullptr, nullptr);
        }
    }
    GiveUpWhenAbandoned(const GiveUpWhenAbandoned&) = delete;
    GiveUpWhenAbandoned& operator=(const GiveUpWhenAbandoned&) = delete;

private:
    static int check(void* self) {
        return static_cast<GiveUpWhenAbandoned*>(self)->m_abandoned() ? 1 : 0;
    }

    sqlite3* m_handle;
    const Abandoned& m_abandoned;
};

// Runs `sql` with `values`; every row goes to `take`.
template <class Take>
QString select(const QSqlDatabase& db, const QString& sql, const QVariantList& values, Take take) {
    Sql::Statement statement = Sql::run(db, sql, values);
    if (!statement.ok) {
        return Sql::errorOf(statement.query);
    }
    while (statement.query.next()) {
        take(statement.query);
    }
    return statement.query.lastError().isValid() ? Sql::errorOf(statement.query) : QString();
}

// The text as one quoted phrase of the index's query language.
QString indexPhrase(const QString& wanted) {
    return QLatin1Char('"') + QString(wanted).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// Whether fewer than indexedMatchLimit messages hold the text (by the index).
bool fewMatch(const QSqlDatabase& db, const QString& wanted, QString* problem) {
    int matching = 0;
    *problem = select(db,
                      QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM message_text"
                                     " WHERE message_text MATCH ? LIMIT ?)"),
                      {indexPhrase(wanted), indexedMatchLimit},
                      [&](const QSqlQuery& row) { matching = row.value(0).toInt(); });
    return matching < indexedMatchLimit;
}

} // namespace

bool installFunctions(const QSqlDatabase& db) {
    sqlite3* handle = handleOf(db);
    return handle && sqlite3_create_function_v2(
                         handle, "contains_search_text", 2,
                         SQLITE_UTF16 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                         &containsSearchTextFunction, nullptr, nullptr, nullptr) == SQLITE_OK;
}

Result run(const QSqlDatabase& db, const QString& wanted, const Abandoned& abandoned) {
    Result result;
    if (wanted.isEmpty()) {
        return result;
    }
    GiveUpWhenAbandoned giveUp(db, abandoned);
    // The index finds three characters or more.
    const bool indexed = wanted.toUcs4().size() >= 3 && fewMatch(db, wanted, &result.problem);
    if (result.problem.isEmpty()) {
        auto take = [&](const QSqlQuery& row) {
            if (!row.isNull(1)) {
                result.hits.append({QUuid::fromString(row.value(0).toString()),
                                    searchExcerpt(row.value(1).toString(), wanted)});
            }
        };
        result.problem =
            indexed
                ? select(
                      db,
                      QStringLiteral(
                          "SELECT m.conversation_id, m.content, min(m.position) FROM message_text"
                          " JOIN messages m ON m.seq = message_text.rowid"
                          " JOIN conversations c ON c.id = m.conversation_id"
                          " WHERE message_text MATCH ? AND c.deleted = 0"
                          " GROUP BY m.conversation_id"),
                      {indexPhrase(wanted)}, take)
                // Each conversation read up to its first match.
                : select(
                      db,
                      QStringLiteral(
                          "SELECT c.id, (SELECT m.content FROM messages m"
                          " WHERE m.conversation_id = c.id AND contains_search_text(m.content, ?)"
                          " ORDER BY m.position LIMIT 1)"
                          " FROM conversations c WHERE c.deleted = 0"),
                      {wanted}, take);
    }
    if (abandoned && abandoned()) {
        return {}; // a statement given up half way is no answer, nor a failure
    }
    return result;
}

} // namespace StoredSearch
