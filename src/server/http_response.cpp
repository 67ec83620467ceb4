#include "server/http_response.h"

#include "server/server_texts.h"

#include <QJsonDocument>

namespace http_response {

QByteArray reasonPhrase(int status) {
    using namespace server_texts;
    switch (status) {
    case 200:
        return kReasonOk;
    case 204:
        return kReasonNoContent;
    case 400:
        return kReasonBadRequest;
    case 403:
        return kReasonForbidden;
    case 404:
        return kReasonNotFound;
    case 413:
        return kReasonPayloadTooLarge;
    case 431:
        return kReasonHeaderTooLarge;
    case 503:
        return kReasonServiceUnavailable;
    default:
        return kReasonOther;
    }
}

QByteArray complete(int status, QByteArrayView contentType, QByteArrayView body,
                    QByteArrayView moreHeaders) {
    QByteArray bytes;
    bytes.reserve(body.size() + 128);
    bytes.append("HTTP/1.1 ")
        .append(QByteArray::number(status))
        .append(' ')
        .append(reasonPhrase(status))
        .append("\r\nContent-Type: ")
        .append(contentType)
        .append("\r\nContent-Length: ")
        .append(QByteArray::number(body.size()))
        .append("\r\n")
        .append(moreHeaders)
        .append("Connection: close\r\n\r\n")
        .append(body);
    return bytes;
}

QByteArray plainText(int status, QByteArrayView text) {
    return complete(status, server_texts::kContentTypePlain, text);
}

QByteArray plainReason(int status) {
    return plainText(status, reasonPhrase(status));
}

QByteArray busy() {
    QByteArray body = jsonLine({{QStringLiteral("error"), QString::fromUtf8(server_texts::kBusy)}});
    body.chop(1); // one object, no line feed: this is not a stream of lines
    return complete(503, server_texts::kContentTypeJson, body, server_texts::kRetryAfterHeader);
}

QByteArray preflight() {
    return server_texts::kPreflightBlock;
}

QByteArray jsonLinesHeader() {
    return server_texts::kJsonLinesHeaderBlock;
}

QByteArray jsonLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).append('\n');
}

QByteArray contentLine(const QString& piece) {
    return jsonLine({{QStringLiteral("content"), piece}});
}

QByteArray doneLine() {
    return jsonLine({{QStringLiteral("done"), true}});
}

QByteArray errorLine(const QString& description) {
    return jsonLine({{QStringLiteral("error"), description}});
}

} // namespace http_response
