#include "support/fake_response.h"

#include <QJsonDocument>

FakeResponse FakeResponse::json(int status, const QJsonObject& body) {
    return text(status, QJsonDocument(body).toJson(QJsonDocument::Compact), "application/json");
}

FakeResponse FakeResponse::text(int status, QByteArray body, QByteArray contentType) {
    return streamed(status, {std::move(body)}, 0, std::move(contentType));
}

FakeResponse FakeResponse::streamed(int status, QByteArrayList chunks, int chunkDelayMs,
                                    QByteArray contentType) {
    FakeResponse response;
    response.status = status;
    response.headers.append({"Content-Type", std::move(contentType)});
    response.chunks = std::move(chunks);
    response.chunkDelayMs = chunkDelayMs;
    return response;
}

FakeResponse FakeResponse::sse(const QStringList& payloads, int chunkDelayMs) {
    QByteArrayList chunks;
    for (const QString& payload : payloads) {
        chunks.append("data: " + payload.toUtf8() + "\n\n");
    }
    return streamed(200, chunks, chunkDelayMs, "text/event-stream");
}

FakeResponse FakeResponse::silence() {
    FakeResponse response;
    response.answer = false;
    return response;
}

FakeResponse FakeResponse::garbage(QByteArray bytes) {
    FakeResponse response;
    response.raw = std::move(bytes);
    return response;
}

FakeResponse& FakeResponse::withHeader(QByteArray name, QByteArray value) {
    headers.append({std::move(name), std::move(value)});
    return *this;
}

FakeResponse& FakeResponse::heldUntilReleased() {
    held = true;
    return *this;
}
