#include "models/model_error.h"

#include "models/model_texts.h"

#include <QCoreApplication>

namespace {

QString cloudErrorText(const CloudError& error) {
    using Case = CloudError::Case;
    switch (error.kind) {
    case Case::detail:
        return ModelTexts::apiError().arg(error.text.left(200));
    case Case::outputLimit:
        return ModelTexts::outputLimit();
    case Case::contentFilter:
        return ModelTexts::contentFilter();
    case Case::emptyAnswer:
        return ModelTexts::emptyAnswer();
    case Case::unreadableToolCall:
        return error.text.isEmpty() ? ModelTexts::unnamedToolCall()
                                    : ModelTexts::unreadableToolCall().arg(error.text);
    case Case::notModelList:
        return ModelTexts::notModelList().arg(error.text);
    case Case::noApiKey:
        return ModelTexts::noApiKey();
    case Case::serverError:
        break;
    }
    return ModelTexts::cloudError();
}

} // namespace

QString CloudError::description() const {
    const QString said = cloudErrorText(*this);
    if (!retryAfter) {
        return said;
    }
    return ModelTexts::providerAsksToWait().arg(said, QString::number(retryAfter->count()));
}

QString LLMError::description() const {
    switch (kind) {
    case Case::ollamaNotRunning:
        return ModelTexts::ollamaNotRunning();
    case Case::modelNotInstalled:
        return ModelTexts::modelNotInstalled().arg(text);
    case Case::ollamaError:
        return ModelTexts::ollamaError().arg(text.left(200));
    case Case::generationFailed:
        break;
    }
    return ModelTexts::generationFailed();
}

QString errorDescription(const ModelError& error) {
    return std::visit([](const auto& e) { return e.description(); }, error);
}

bool isCancellation(const ModelError& error) {
    const auto* platform = std::get_if<PlatformError>(&error);
    return platform != nullptr && platform->kind == PlatformError::Case::cancelled;
}

PlatformError PlatformError::cancelled() {
    return {Case::cancelled, QCoreApplication::translate("QNetworkReply", "Operation canceled")};
}

PlatformError PlatformError::timedOut() {
    return {Case::timeout, ModelTexts::timedOut()};
}

PlatformError PlatformError::invalidBaseURL() {
    return {Case::invalidURL, ModelTexts::invalidBaseUrl()};
}
