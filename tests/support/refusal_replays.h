#pragma once

#include "support/fake_response.h"
#include "support/json_rows.h"
#include "support/provider_replay.h"

#include <QDateTime>
#include <QLocale>

// The rows of tests/data/providers/refusals.json: answers that are no answer and
// refusals, each with its source.
inline const QString refusalTable = QStringLiteral("providers/refusals.json");

// A row's answer: a provider's recorded error ("replay", "error"), or its
// "status" (200 unless given) and "body", with a Retry-After of "retryAfter",
// or an HTTP date "retryAfterFromNow" seconds from `now`.
inline FakeResponse refusalAnswer(const QJsonObject& row,
                                  const QDateTime& now = QDateTime::currentDateTimeUtc()) {
    if (row.contains("replay")) {
        return ProviderReplay(row["replay"].toString()).error(row["error"].toString());
    }
    FakeResponse response =
        FakeResponse::text(row["status"].toInt(200), jsonBytes(row["body"]), "application/json");
    if (row.contains("retryAfter")) {
        response.withHeader("Retry-After", row["retryAfter"].toString().toLatin1());
    }
    if (row.contains("retryAfterFromNow")) {
        const QDateTime at = now.addSecs(row["retryAfterFromNow"].toInt());
        response.withHeader("Retry-After",
                            QLocale::c()
                                .toString(at, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
                                .toLatin1());
    }
    return response;
}

// The row of `table` with this tag.
inline QJsonObject refusalRow(const QString& table, const QString& tag) {
    for (const QJsonValue& row : jsonTable(refusalTable, table).toArray()) {
        if (row["tag"].toString() == tag) {
            return row.toObject();
        }
    }
    qFatal("no refusal row %s", qPrintable(tag));
}

// A rate limit short enough to be waited out: a second.
inline FakeResponse shortRateLimit() {
    QJsonObject row = refusalRow("rateLimits", "openai: requests per minute");
    row["retryAfter"] = "1";
    return refusalAnswer(row);
}
