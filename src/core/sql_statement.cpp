#include "core/sql_statement.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

namespace Sql {

Statement run(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    Statement statement{QSqlQuery(db)};
    statement.query.setForwardOnly(true);
    if (!statement.query.prepare(sql)) {
        return statement;
    }
    for (const QVariant& value : values) {
        statement.query.addBindValue(value);
    }
    statement.ok = statement.query.exec();
    return statement;
}

QString errorOf(const QSqlQuery& query) {
    const QString text = query.lastError().databaseText();
    return text.isEmpty() ? query.lastError().text() : text;
}

} // namespace Sql
