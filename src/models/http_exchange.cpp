#include "models/http_exchange.h"

#include "models/reply_line_reader.h"

#include <QNetworkReply>
#include <QScopeGuard>

#include <QCoroNetworkReply>

std::optional<QUrl> requestUrl(const QString& base, const QString& path) {
    const QUrl url(base + path);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        return std::nullopt;
    }
    return url;
}

QNetworkRequest makeRequest(const QUrl& url, std::chrono::milliseconds timeout) {
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    return request;
}

std::optional<QNetworkRequest> jsonPostRequest(const QString& base, const QString& path,
                                               std::chrono::milliseconds timeout) {
    const std::optional<QUrl> url = requestUrl(base, path);
    if (!url) {
        return std::nullopt;
    }
    QNetworkRequest request = makeRequest(*url, timeout);
    request.setRawHeader("Content-Type", "application/json");
    return request;
}

QCoro::Task<Result<HttpAnswer>> exchange(QPointer<QNetworkAccessManager> network,
                                         QNetworkRequest request, QByteArray verb, QByteArray body,
                                         std::shared_ptr<RequestCancellation> cancellation,
                                         ArrivalReader whileArriving) {
    if ((cancellation && cancellation->isCancelled()) || !network) {
        co_return PlatformError::cancelled();
    }
    QNetworkReply* const started = network->sendCustomRequest(request, verb, body);
    if (cancellation) {
        // The reply is the context: the connection dies with it.
        QObject::connect(cancellation.get(), &RequestCancellation::cancelled, started,
                         [started] { started->abort(); });
    }
    if (whileArriving) {
        QObject::connect(started, &QNetworkReply::readyRead, started,
                         [started, whileArriving] { whileArriving(*started); });
    }
    // QCoro resumes inside abort(); nothing below may delete the reply directly.
    QNetworkReply* const reply = co_await started;
    if (reply == nullptr) {
        // The manager, and with it the reply, went away while waiting.
        co_return PlatformError::cancelled();
    }
    const auto release = qScopeGuard([reply] { reply->deleteLater(); });
    if (cancellation) {
        QObject::disconnect(cancellation.get(), nullptr, reply, nullptr);
    }
    if (failedInTransport(*reply)) {
        co_return transportError(*reply, cancellation && cancellation->isCancelled());
    }
    co_return httpAnswer(*reply, reply->readAll());
}

HttpAnswer httpAnswer(const QNetworkReply& reply, QByteArray body) {
    return {httpStatus(reply), std::move(body),
            reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray(),
            reply.rawHeader("Content-Type"), reply.rawHeader("Retry-After")};
}

std::optional<std::chrono::seconds> retryAfterWait(const QByteArray& retryAfter,
                                                   const QDateTime& now) {
    const QByteArray text = retryAfter.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    bool isNumber = false;
    const qlonglong seconds = text.toLongLong(&isNumber);
    if (isNumber) {
        return seconds < 0 ? std::nullopt : std::optional(std::chrono::seconds(seconds));
    }
    // RFC 9110 dates: "Sun, 06 Nov 1994 08:49:37 GMT" (the two obsolete forms are
    // not sent by any provider we know of). Qt reads the zone only as an offset.
    QString date = QString::fromLatin1(text);
    if (date.endsWith(QLatin1String(" GMT"))) {
        date = date.chopped(3) + QStringLiteral("+0000");
    }
    const QDateTime at = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!at.isValid()) {
        return std::nullopt;
    }
    return std::chrono::seconds(std::max<qint64>(0, now.secsTo(at)));
}

std::optional<int> httpStatus(const QNetworkReply& reply) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        return std::nullopt;
    }
    return status.toInt();
}

bool failedInTransport(const QNetworkReply& reply) {
    // Qt numbers network-layer and proxy errors below 200; the codes from 200 up
    // stand for HTTP answers (an error status, an unknown content) which the
    // clients judge by their status instead.
    const QNetworkReply::NetworkError error = reply.error();
    if (error == QNetworkReply::NoError) {
        return false;
    }
    return error < QNetworkReply::ContentAccessDenied || !httpStatus(reply).has_value();
}

PlatformError transportError(const QNetworkReply& reply, bool cancelledByCaller) {
    if (reply.error() == QNetworkReply::OperationCanceledError) {
        if (cancelledByCaller) {
            return {PlatformError::Case::cancelled, reply.errorString()};
        }
        return PlatformError::timedOut();
    }
    if (reply.error() == QNetworkReply::ConnectionRefusedError) {
        return {PlatformError::Case::refused, reply.errorString()};
    }
    return {PlatformError::Case::transport, reply.errorString()};
}

void abortPendingReplies(QObject* owner, QNetworkAccessManager* network) {
    // Streams end through their readers, which report the end as a cancellation.
    qDeleteAll(owner->findChildren<ReplyLineReader*>(Qt::FindDirectChildrenOnly));
    const QList<QNetworkReply*> replies = network->findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : replies) {
        if (reply->isRunning()) {
            reply->abort();
        }
    }
}
