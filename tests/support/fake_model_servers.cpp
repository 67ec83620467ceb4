#include "support/fake_http_server.h"

#include <QJsonDocument>

namespace {

QJsonObject ollamaMessage(const QString& content, bool done) {
    return {{"model", "qwen2.5:3b"},
            {"message", QJsonObject{{"role", "assistant"}, {"content", content}}},
            {"done", done}};
}

} // namespace

FakeResponse FakeOpenAIServer::chatReply(const QString& text, const QJsonArray& toolCalls) {
    QJsonObject message{{"role", "assistant"}, {"content", text.isNull() ? QJsonValue() : text}};
    if (!toolCalls.isEmpty()) {
        message.insert("tool_calls", toolCalls);
    }
    const QJsonObject choice{{"index", 0},
                             {"message", message},
                             {"finish_reason", toolCalls.isEmpty() ? "stop" : "tool_calls"}};
    return FakeResponse::json(
        200,
        {{"id", "chatcmpl-1"}, {"object", "chat.completion"}, {"choices", QJsonArray{choice}}});
}

QJsonObject FakeOpenAIServer::toolCall(const QString& id, const QString& name,
                                       const QString& argumentsJson) {
    return {{"id", id},
            {"type", "function"},
            {"function", QJsonObject{{"name", name}, {"arguments", argumentsJson}}}};
}

QJsonObject FakeOpenAIServer::commandCall(const QString& id, const QString& command) {
    const QJsonObject arguments{{"command", command}};
    return toolCall(id, "run_command", QJsonDocument(arguments).toJson(QJsonDocument::Compact));
}

FakeResponse FakeOpenAIServer::streamedText(const QStringList& pieces, int chunkDelayMs) {
    QStringList payloads;
    for (const QString& piece : pieces) {
        const QJsonObject delta{{"index", 0}, {"delta", QJsonObject{{"content", piece}}}};
        const QJsonObject chunk{{"object", "chat.completion.chunk"},
                                {"choices", QJsonArray{delta}}};
        payloads.append(QString::fromUtf8(QJsonDocument(chunk).toJson(QJsonDocument::Compact)));
    }
    payloads.append("[DONE]");
    return FakeResponse::sse(payloads, chunkDelayMs);
}

FakeResponse FakeOllamaServer::chatReply(const QString& content) {
    return FakeResponse::json(200, ollamaMessage(content, true));
}

FakeResponse FakeOllamaServer::tags(const QStringList& modelNames) {
    QJsonArray models;
    for (const QString& name : modelNames) {
        models.append(QJsonObject{{"name", name}, {"model", name}});
    }
    return FakeResponse::json(200, {{"models", models}});
}

FakeResponse FakeOllamaServer::streamedText(const QStringList& pieces, int chunkDelayMs) {
    QByteArrayList lines; // the last one empty and done
    for (qsizetype i = 0; i <= pieces.size(); ++i) {
        const QJsonObject line = ollamaMessage(pieces.value(i), i == pieces.size());
        lines << QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
    }
    return FakeResponse::streamed(200, lines, chunkDelayMs, "application/x-ndjson");
}
