#include "models/cloud_api_service.h"

#include "models/cloud_protocol.h"
#include "models/http_exchange.h"
#include "models/model_route.h"
#include "models/reply_line_reader.h"
#include "models/responses_reply.h"
#include "models/responses_request.h"
#include "models/responses_stream.h"
#include "models/secret_redaction.h"
#include "models/stream_assembly.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>

using namespace std::chrono_literals;

namespace {

constexpr auto chatTimeout = 300s;
constexpr auto probeTimeout = 8s;

QByteArray bearer(const QString& apiKey) {
    return "Bearer " + apiKey.toUtf8();
}

} // namespace

CloudAPIService::CloudAPIService(QString baseURL, QString apiKey, QString model, QObject* parent)
    : AIServiceProtocol(parent), m_network(new QNetworkAccessManager(this)),
      m_baseURL(std::move(baseURL)), m_apiKey(std::move(apiKey)), m_model(std::move(model)) {}

std::optional<QNetworkRequest> CloudAPIService::postRequest(ModelRoute::Api api) const {
    const QString path = api == ModelRoute::Api::responses ? QStringLiteral("/responses")
                                                           : QStringLiteral("/chat/completions");
    std::optional<QNetworkRequest> request = jsonPostRequest(m_baseURL, path, chatTimeout);
    if (request) {
        request->setRawHeader("Authorization", bearer(m_apiKey));
    }
    return request;
}

ModelRoute CloudAPIService::routeFor(const QString& baseURL, const QString& model) const {
    if (m_learnt && m_learnt->baseURL == baseURL && m_learnt->model == model) {
        return m_learnt->route;
    }
    return documentedRoute(model);
}

QCoro::Task<Result<ModelReply>>
CloudAPIService::sendChat(WireMessages messages, std::shared_ptr<RequestCancellation> cancellation,
                          ReplyProgress progress) {
    // Both paths form a URL from the same base, or neither does.
    std::optional<QNetworkRequest> chat = postRequest(ModelRoute::Api::chatCompletions);
    std::optional<QNetworkRequest> responses = postRequest(ModelRoute::Api::responses);
    if (!chat || !responses) {
        co_return PlatformError::invalidBaseURL();
    }
    messages = applyMessageRules(m_messageRules, std::move(messages));
    // Copied now: after the await this object may be gone.
    const QString apiKey = m_apiKey;
    const QString baseURL = m_baseURL;
    const QString model = m_model;
    const Clock clock = m_clock;
    const bool streamed = progress.wanted();
    const auto send = [&](QNetworkAccessManager* network, const ModelRoute& route) {
        const bool responsesApi = route.api == ModelRoute::Api::responses;
        const QByteArray body = responsesApi
                                    ? responsesBody(model, messages, streamed, ChatTools::catalogue)
                                    : cloudChatBody(model, withoutResponsesMembers(messages),
                                                    streamed, ChatTools::catalogue, route.members);
        const QNetworkRequest& request = responsesApi ? *responses : *chat;
        if (!streamed) {
            return exchange(network, request, "POST", body, cancellation);
        }
        return streamedExchange(network, request, body, cancellation,
                                responsesApi ? responsesAssembly() : chatCompletionsAssembly(),
                                progress);
    };
    ModelRoute route = routeFor(baseURL, model);
    QPointer<CloudAPIService> self(this);
    Result<HttpAnswer> answer = co_await send(m_network, route);
    // A refusal that asks for a member, or names the Responses API, sends the
    // request once more that way (twice when the member is refused too); refused
    // again, the provider's words are shown.
    bool responsesNamed = false;
    for (int again = 0; again < 2 && answer.ok() && self; ++again) {
        responsesNamed = responsesNamed || namesResponsesApi(answer.value());
        const std::optional<ModelRoute> next =
            routeAfterRefusal(answer.value(), route, responsesNamed);
        if (!next) {
            break;
        }
        route = *next;
        self->m_learnt = LearntRoute{baseURL, model, route};
        answer = co_await send(self->m_network, route);
    }
    if (!answer.ok()) {
        co_return withoutSecret(answer.error(), apiKey);
    }
    const QDateTime now = clock();
    Result<ModelReply> reply = route.api == ModelRoute::Api::responses
                                   ? decodeResponsesReply(answer.value(), now)
                                   : decodeCloudReply(answer.value(), now);
    if (!reply.ok()) {
        co_return withoutSecret(reply.error(), apiKey);
    }
    co_return reply;
}

TextPieceStream* CloudAPIService::streamChat(WireMessages messages) {
    const bool responses = routeFor(m_baseURL, m_model).api == ModelRoute::Api::responses;
    // The phone is told what the desktop would show: the provider's words.
    const StatusErrorReader statusError = [apiKey = m_apiKey,
                                           clock = m_clock](const HttpAnswer& answer) {
        return withoutSecret(cloudStatusError(answer, clock()), apiKey);
    };
    // An error a provider streams may quote the key, like one it answers whole.
    const ReplyDecoder decode = [responses, clock = m_clock](const HttpAnswer& answer) {
        return responses ? decodeResponsesReply(answer, clock())
                         : decodeCloudReply(answer, clock());
    };
    const StreamLineReader judged =
        judgedLineReader(responses ? responsesAssembly() : chatCompletionsAssembly(), decode);
    const StreamLineReader readLine = [apiKey = m_apiKey, judged](QByteArrayView line) {
        StreamLine read = judged(line);
        if (read.error) {
            read.error = withoutSecret(*read.error, apiKey);
        }
        return read;
    };
    messages = applyMessageRules(m_messageRules, std::move(messages));
    const QByteArray body = responses ? responsesBody(m_model, messages, true, ChatTools::none)
                                      : cloudChatBody(m_model, withoutResponsesMembers(messages),
                                                      true, ChatTools::none);
    return startLineStream(
        m_network,
        postRequest(responses ? ModelRoute::Api::responses : ModelRoute::Api::chatCompletions),
        body, {readLine, statusError, PlatformError::invalidBaseURL()}, this);
}

QCoro::Task<bool> CloudAPIService::checkAvailability() {
    const Result<QStringList> listing = co_await listModels();
    co_return listing.ok();
}

QCoro::Task<Result<QStringList>> CloudAPIService::listModels() {
    if (m_apiKey.isEmpty()) {
        co_return CloudError::noApiKey();
    }
    const std::optional<QUrl> url = requestUrl(m_baseURL, QStringLiteral("/models"));
    if (!url) {
        co_return PlatformError::invalidBaseURL();
    }
    QNetworkRequest request = makeRequest(*url, probeTimeout);
    request.setRawHeader("Authorization", bearer(m_apiKey));
    const QString apiKey = m_apiKey;
    const Clock clock = m_clock;
    const Result<HttpAnswer> answer = co_await exchange(m_network, request, "GET", {}, {});
    if (!answer.ok()) {
        co_return withoutSecret(answer.error(), apiKey);
    }
    const std::optional<int> status = answer.value().status;
    if (!status || *status < 200 || *status > 399) {
        // The same reading as a refused chat request: the provider's words.
        co_return withoutSecret(cloudStatusError(answer.value(), clock()), apiKey);
    }
    if (*status != 200) {
        co_return QStringList(); // taken, but nothing listed
    }
    co_return decodeModelList(answer.value());
}

CloudAPIService::~CloudAPIService() {
    // Outstanding requests end now, while this object is still whole.
    abortPendingReplies(this, m_network);
}
