#pragma once

#include "models/ai_service.h"

#include <QString>

class QNetworkAccessManager;
class QNetworkRequest;

// The client for the Ollama server on this machine. The model gets no native
// tool catalogue; it writes tool calls as <tool_call> blocks, which come back
// as NativeToolCall values like the cloud's.
class LocalLLMService : public AIServiceProtocol {
    Q_OBJECT

public:
    static QString builtInBase() { return QStringLiteral("http://127.0.0.1:11434"); }
    static QString builtInModelName() { return QStringLiteral("qwen2.5:3b"); }

    explicit LocalLLMService(QObject* parent = nullptr);
    explicit LocalLLMService(QString ollamaBase, QString modelName = builtInModelName(),
                             QObject* parent = nullptr);

    ~LocalLLMService() override;

    QString ollamaBase() const { return m_ollamaBase; }
    QString modelName() const { return m_modelName; }

    QCoro::Task<Result<ModelReply>> sendChat(WireMessages messages,
                                             std::shared_ptr<RequestCancellation> cancellation = {},
                                             ReplyProgress progress = {}) override;
    TextPieceStream* streamChat(WireMessages messages) override;
    QCoro::Task<bool> checkAvailability() override;

private:
    std::optional<QNetworkRequest> chatRequest() const;

    QNetworkAccessManager* m_network;
    const QString m_ollamaBase;
    const QString m_modelName;
};
