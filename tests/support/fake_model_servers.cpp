#include "support/fake_http_server.h"

#include <QJsonDocument>

namespace {

QJsonObject ollamaMessage(const QString& content, bool done) {
    return {{QStringLiteral("model"), QStringLiteral("qwen2.5:3b")},
            {QStringLiteral("message"),
             QJsonObject{{QStringLiteral("role"), QStringLiteral("assistant")},
                         {QStringLiteral("content"), content}}},
            {QStringLiteral("done"), done}};
}

} // namespace

FakeResponse FakeOpenAIServer::chatReply(const QString& text, const QJsonArray& toolCalls) {
    QJsonObject message{{QStringLiteral("role"), QStringLiteral("assistant")},
                        {QStringLiteral("content"), text.isNull() ? QJsonValue() : text}};
    if (!toolCalls.isEmpty()) {
        message.insert(QStringLiteral("tool_calls"), toolCalls);
    }
    const QJsonObject choice{{QStringLiteral("index"), 0},
                             {QStringLiteral("message"), message},
                             {QStringLiteral("finish_reason"), toolCalls.isEmpty()
                                                                   ? QStringLiteral("stop")
                                                                   : QStringLiteral("tool_calls")}};
    return FakeResponse::json(200, {{QStringLiteral("id"), QStringLiteral("chatcmpl-1")},
                                    {QStringLiteral("object"), QStringLiteral("chat.completion")},
                                    {QStringLiteral("choices"), QJsonArray{choice}}});
}

QJsonObject FakeOpenAIServer::toolCall(const QString& id, const QString& name,
                                       const QString& argumentsJson) {
    return {
        {QStringLiteral("id"), id},
        {QStringLiteral("type"), QStringLiteral("function")},
        {QStringLiteral("function"), QJsonObject{{QStringLiteral("name"), name},
                                                 {QStringLiteral("arguments"), argumentsJson}}}};
}

FakeResponse FakeOpenAIServer::streamedText(const QStringList& pieces, int chunkDelayMs) {
    QStringList payloads;
    for (const QString& piece : pieces) {
        const QJsonObject delta{{QStringLiteral("content"), piece}};
        const QJsonObject chunk{
            {QStringLiteral("object"), QStringLiteral("chat.completion.chunk")},
            {QStringLiteral("choices"), QJsonArray{QJsonObject{{QStringLiteral("index"), 0},
                                                               {QStringLiteral("delta"), delta}}}}};
        payloads.append(QString::fromUtf8(QJsonDocument(chunk).toJson(QJsonDocument::Compact)));
    }
    payloads.append(QStringLiteral("[DONE]"));
    return FakeResponse::sse(payloads, chunkDelayMs);
}

FakeResponse FakeOllamaServer::chatReply(const QString& content) {
    return FakeResponse::json(200, ollamaMessage(content, true));
}

FakeResponse FakeOllamaServer::tags(const QStringList& modelNames) {
    QJsonArray models;
    for (const QString& name : modelNames) {
        models.append(QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("model"), name}});
    }
    return FakeResponse::json(200, {{QStringLiteral("models"), models}});
}

FakeResponse FakeOllamaServer::streamedText(const QStringList& pieces, int chunkDelayMs) {
    QList<QJsonObject> lines;
    for (const QString& piece : pieces) {
        lines.append(ollamaMessage(piece, false));
    }
    lines.append(ollamaMessage(QString(), true));
    return FakeResponse::jsonLines(lines, chunkDelayMs);
}
