#pragma once

#include "models/request_cancellation.h"
#include "models/result.h"

#include <QByteArray>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

#include <QCoroTask>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QNetworkReply;

// A finished HTTP exchange: the status (none when the answer was not HTTP),
// its reason phrase, the whole body, and the two headers errors are read by.
struct HttpAnswer {
    std::optional<int> status;
    QByteArray body;
    QByteArray reason;
    QByteArray contentType = {};
    QByteArray retryAfter = {};
};

// The wait a "Retry-After" asks for (delay in seconds, or an HTTP date, counted
// from `now`; a date already past asks for none); nothing when it is missing or
// unreadable.
std::optional<std::chrono::seconds> retryAfterWait(const QByteArray& retryAfter,
                                                   const QDateTime& now);

// `base` + `path` by plain concatenation, when that names an http or https
// address with a host; nothing otherwise.
std::optional<QUrl> requestUrl(const QString& base, const QString& path);

// A request with a transfer timeout (Qt's is an inactivity timeout, which is
// what a slow model streaming its answer needs).
QNetworkRequest makeRequest(const QUrl& url, std::chrono::milliseconds timeout);

// A request that POSTs JSON to `base` + `path`; nothing when no URL can be formed.
std::optional<QNetworkRequest> jsonPostRequest(const QString& base, const QString& path,
                                               std::chrono::milliseconds timeout);

// Sends one request and awaits the whole answer. A transport failure, a
// timeout or the caller's cancellation comes back as a PlatformError; any HTTP
// answer, whatever its status, comes back as an HttpAnswer. A request whose
// cancellation is already set fails at once without touching the network.
// `whileArriving` is handed the reply each time more of it arrives; what it
// reads is not part of the body that comes back.
using ArrivalReader = std::function<void(QNetworkReply& reply)>;
QCoro::Task<Result<HttpAnswer>> exchange(QPointer<QNetworkAccessManager> network,
                                         QNetworkRequest request, QByteArray verb, QByteArray body,
                                         std::shared_ptr<RequestCancellation> cancellation,
                                         ArrivalReader whileArriving = {});

// The status of a reply's HTTP answer, if it got one.
std::optional<int> httpStatus(const QNetworkReply& reply);

// The status and reason phrase of a reply's answer, with `body`.
HttpAnswer httpAnswer(const QNetworkReply& reply, QByteArray body);

// True when the reply ended below HTTP: no connection, a broken connection,
// an abort or a timeout (as opposed to an HTTP error status).
bool failedInTransport(const QNetworkReply& reply);

// The error for a reply that failedInTransport. An abort the caller asked for
// is a cancellation; any other abort is Qt's transfer timeout.
PlatformError transportError(const QNetworkReply& reply, bool cancelledByCaller);

// Ends every request `owner` still has outstanding on `network`: its streams
// fail as cancelled, and the coroutines awaiting a whole answer resume (with a
// cancellation) instead of waiting for ever on a reply destroyed with its manager.
void abortPendingReplies(QObject* owner, QNetworkAccessManager* network);
