#pragma once

#include "models/ai_service.h"
#include "models/model_route.h"
#include "models/provider_message_rules.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>

class QNetworkAccessManager;
class QNetworkRequest;

// The client for any OpenAI-compatible chat-completions provider, and for the
// models that take tools only through OpenAI's Responses API. Its three
// settings are overwritten in place when the user changes the provider; each
// request reads them when it is built, so a running request keeps its values.
// A request with tools goes the way OpenAI documents for the model; one the
// provider refuses for want of a member it names is sent again with it, one
// whose refusal names /v1/responses is sent there, and later ones to that base
// URL and model go the way learnt.
class CloudAPIService : public AIServiceProtocol {
    Q_OBJECT

public:
    CloudAPIService(QString baseURL, QString apiKey, QString model, QObject* parent = nullptr);

    ~CloudAPIService() override;

    QString baseURL() const { return m_baseURL; }
    QString apiKey() const { return m_apiKey; }
    QString model() const { return m_model; }
    void setBaseURL(QString baseURL) { m_baseURL = std::move(baseURL); }
    void setApiKey(QString apiKey) { m_apiKey = std::move(apiKey); }
    void setModel(QString model) { m_model = std::move(model); }
    // The provider's own demands on the messages of each request.
    void setMessageRules(MessageRules rules) { m_messageRules = rules; }

    // Where a Retry-After date is counted from; the wall clock unless replaced.
    using Clock = std::function<QDateTime()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }

    QCoro::Task<Result<ModelReply>> sendChat(WireMessages messages,
                                             std::shared_ptr<RequestCancellation> cancellation = {},
                                             ReplyProgress progress = {}) override;
    TextPieceStream* streamChat(WireMessages messages) override;
    // True when listModels succeeds.
    QCoro::Task<bool> checkAvailability() override;

    // GET base + "/models" with the key: the ids the provider serves (empty
    // when it answers 201–399), or why it refused; a 200 that is no model list
    // (an HTML page) is an error. Without a key nothing is sent.
    QCoro::Task<Result<QStringList>> listModels();

private:
    // The route a refusal taught for one base URL and model; kept while this
    // client lives.
    struct LearntRoute {
        QString baseURL;
        QString model;
        ModelRoute route;
    };

    // A POST to the API's path with the key; nothing when no URL can be formed.
    std::optional<QNetworkRequest> postRequest(ModelRoute::Api api) const;
    // The route learnt for them, else the one documented for the model.
    ModelRoute routeFor(const QString& baseURL, const QString& model) const;

    QNetworkAccessManager* m_network;
    QString m_baseURL;
    QString m_apiKey;
    QString m_model;
    std::optional<LearntRoute> m_learnt;
    MessageRules m_messageRules = MessageRules::plain;
    Clock m_clock = [] { return QDateTime::currentDateTimeUtc(); };
};
