#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>

// The bytes the phone server writes. Every response closes its connection.
namespace http_response {

QByteArray reasonPhrase(int status);

// A whole response with a length: status line, type, length, any further
// header lines (each ending in CRLF), "Connection: close".
QByteArray complete(int status, QByteArrayView contentType, QByteArrayView body,
                    QByteArrayView moreHeaders = {});
// A plain-text response whose body is the given text.
QByteArray plainText(int status, QByteArrayView text);
// A plain-text response whose body is the status's reason phrase ("Not Found").
QByteArray plainReason(int status);

// 503 with "Retry-After: 1" and a JSON error: every place is being answered.
QByteArray busy();

QByteArray preflight();
QByteArray jsonLinesHeader();

// One compact JSON object and one line feed.
QByteArray jsonLine(const QJsonObject& object);
QByteArray contentLine(const QString& piece);
QByteArray doneLine();
QByteArray errorLine(const QString& description);

} // namespace http_response
