#include "models/local_llm_service.h"

#include "models/http_exchange.h"
#include "models/ollama_protocol.h"
#include "models/reply_line_reader.h"
#include "models/stream_assembly.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

using namespace std::chrono_literals;

namespace {

constexpr auto chatTimeout = 120s;
// A server that accepts the connection and never answers must not keep the
// model panel loading forever; a minute is the usual HTTP client default.
constexpr auto probeTimeout = 60s;

// Only a refused connection means that no Ollama listens; other failures keep their words.
ModelError localError(const ModelError& error) {
    const auto* platform = std::get_if<PlatformError>(&error);
    if (platform != nullptr && platform->kind == PlatformError::Case::refused) {
        return LLMError{LLMError::Case::ollamaNotRunning};
    }
    return error;
}

} // namespace

LocalLLMService::LocalLLMService(QObject* parent)
    : LocalLLMService(builtInBase(), builtInModelName(), parent) {}

LocalLLMService::LocalLLMService(QString ollamaBase, QString modelName, QObject* parent)
    : AIServiceProtocol(parent), m_network(new QNetworkAccessManager(this)),
      m_ollamaBase(std::move(ollamaBase)), m_modelName(std::move(modelName)) {}

std::optional<QNetworkRequest> LocalLLMService::chatRequest() const {
    return jsonPostRequest(m_ollamaBase, QStringLiteral("/api/chat"), chatTimeout);
}

QCoro::Task<Result<ModelReply>>
LocalLLMService::sendChat(WireMessages messages, std::shared_ptr<RequestCancellation> cancellation,
                          ReplyProgress progress) {
    const std::optional<QNetworkRequest> request = chatRequest();
    if (!request) {
        co_return LLMError{LLMError::Case::generationFailed};
    }
    // Copied now: after the await this object may be gone.
    const QString model = m_modelName;
    const bool streamed = progress.wanted();
    const QByteArray body = ollamaChatBody(model, messages, streamed, OllamaTools::catalogue);
    // Named, not a temporary: GCC 12 mishandles temporaries in a co_await.
    QCoro::Task<Result<HttpAnswer>> sending =
        streamed ? streamedExchange(m_network, *request, body, std::move(cancellation),
                                    ollamaAssembly(), std::move(progress))
                 : exchange(m_network, *request, "POST", body, std::move(cancellation));
    const Result<HttpAnswer> answer = co_await sending;
    if (!answer.ok()) {
        co_return localError(answer.error());
    }
    co_return decodeOllamaReply(answer.value(), model);
}

TextPieceStream* LocalLLMService::streamChat(WireMessages messages) {
    const StatusErrorReader statusError = [model = m_modelName](const HttpAnswer& answer) {
        return ModelError(ollamaStatusError(answer, model));
    };
    const ReplyDecoder decode = [model = m_modelName](const HttpAnswer& answer) {
        return decodeOllamaReply(answer, model);
    };
    return startLineStream(m_network, chatRequest(), ollamaChatBody(m_modelName, messages, true),
                           {judgedLineReader(ollamaAssembly(), decode), statusError,
                            LLMError{LLMError::Case::generationFailed},
                            [](const PlatformError& error) { return localError(error); }},
                           this);
}

QCoro::Task<bool> LocalLLMService::checkAvailability() {
    const std::optional<QUrl> url = requestUrl(m_ollamaBase, QStringLiteral("/api/tags"));
    if (!url) {
        co_return false;
    }
    const Result<HttpAnswer> answer =
        co_await exchange(m_network, makeRequest(*url, probeTimeout), "GET", {}, {});
    co_return answer.ok() && listsQwenModel(answer.value());
}

LocalLLMService::~LocalLLMService() {
    // Outstanding requests end now, while this object is still whole.
    abortPendingReplies(this, m_network);
}
