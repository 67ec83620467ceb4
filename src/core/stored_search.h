#pragma once

#include <QList>
#include <QString>
#include <QUuid>

#include <functional>

class QSqlDatabase;

// Searching the messages of the kept-conversations file, at most one hit per
// conversation (its first matching message).
//
// The trigram index answers quickly when few messages match, but walks every
// match, so text found in most messages would take the index hundreds of
// milliseconds. Then each conversation is read only up to its first match
// instead, which is cheap exactly when matches are common. Text shorter than
// a trigram is always searched that way.
namespace StoredSearch {

struct Hit {
    QUuid conversationId;
    QString excerpt; // the message text around the first match
};

// True once the search is no longer wanted (a newer one was asked for); it
// is then given up between rows.
using Abandoned = std::function<bool()>;

// Makes contains_search_text(text, wanted) known to the connection: the same
// matching as the in-memory search. False when the driver's handle is not SQLite's.
bool installFunctions(const QSqlDatabase& db);

struct Result {
    QList<Hit> hits;
    QString problem; // why the search failed; empty when it ran or was given up
};

Result run(const QSqlDatabase& db, const QString& wanted, const Abandoned& abandoned);

} // namespace StoredSearch
