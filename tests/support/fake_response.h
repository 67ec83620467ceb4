#pragma once

#include <QByteArrayList>
#include <QJsonArray>
#include <QJsonObject>
#include <QPair>
#include <QStringList>

// One scripted answer of a FakeHttpServer: status line, headers, then the
// body in chunks with a pause before each chunk after the first. A body in
// several chunks (or with pauses) is sent without Content-Length and ended by
// closing the connection, as streaming servers do.
struct FakeResponse {
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArrayList chunks;
    int chunkDelayMs = 0;
    bool held = false;  // answered only once the test calls FakeHttpServer::releaseHeld()
    bool answer = true; // false: keep the connection open and never answer
    QByteArray raw;     // when set: written instead of an HTTP answer

    static FakeResponse json(int status, const QJsonObject& body);
    static FakeResponse text(int status, QByteArray body,
                             QByteArray contentType = "text/plain; charset=utf-8");
    // The body exactly as these byte chunks (split anywhere, even inside a character).
    static FakeResponse streamed(int status, QByteArrayList chunks, int chunkDelayMs = 0,
                                 QByteArray contentType = "application/octet-stream");
    // Server-sent events: "data: " + payload + blank line for each payload, one chunk each.
    static FakeResponse sse(const QStringList& payloads, int chunkDelayMs = 0);
    // Accepts the request and never answers: for cancellation and timeouts.
    static FakeResponse silence();
    // Bytes that are not an HTTP answer, then the connection is closed.
    static FakeResponse garbage(QByteArray bytes);

    FakeResponse& withHeader(QByteArray name, QByteArray value);
    // Kept back until released: a test orders a late answer by releasing it, not by a delay.
    FakeResponse& heldUntilReleased();
};
