#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

class QSqlDatabase;

namespace Sql {

// A query that is run at once; errorOf(query) says why when it failed.
struct Statement {
    QSqlQuery query;
    bool ok = false;
};

// Prepares `sql`, binds `values` in order and runs it, reading forward only.
Statement run(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

// SQLite's own words when it gave any, else Qt's.
QString errorOf(const QSqlQuery& query);

} // namespace Sql
