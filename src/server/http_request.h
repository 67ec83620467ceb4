#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// One request as read from a connection. Header names are lower-cased and
// values trimmed; the target is the request line's second word, query included.
struct HttpRequest {
    QString method;
    QString target;
    QList<std::pair<QString, QString>> headers;
    QByteArray body;

    // The first header of that (lower-case) name.
    std::optional<QString> header(const QString& lowerCaseName) const;
    QString path() const;
    // The part after "?", or a null string when the target has none.
    QString query() const;
};
