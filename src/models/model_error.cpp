#include "models/model_error.h"

#include <QCoreApplication>

namespace {

QString cloudErrorText(const CloudError& error) {
    using Case = CloudError::Case;
    switch (error.kind) {
    case Case::detail:
        return QStringLiteral("API error: ") + error.text.left(200);
    case Case::outputLimit:
        return QStringLiteral("The model stopped before it answered (it reached its output limit)");
    case Case::contentFilter:
        return QStringLiteral("The provider withheld the answer (content filter)");
    case Case::emptyAnswer:
        return QStringLiteral("The model sent an empty answer");
    case Case::unreadableToolCall:
        return error.text.isEmpty()
                   ? QStringLiteral("The model called a tool without a readable name")
                   : QStringLiteral("The model's call of %1 could not be read (its arguments are "
                                    "not a JSON object)")
                         .arg(error.text);
    case Case::notModelList:
        return QStringLiteral("The server did not answer with a model list (%1)").arg(error.text);
    case Case::noApiKey:
        return QStringLiteral("No API key is set");
    case Case::serverError:
        break;
    }
    return QStringLiteral("Cloud API returned an error");
}

} // namespace

QString CloudError::description() const {
    const QString said = cloudErrorText(*this);
    if (!retryAfter) {
        return said;
    }
    return said + QStringLiteral(" (the provider asks to wait %1 s before trying again)")
                      .arg(retryAfter->count());
}

QString LLMError::description() const {
    switch (kind) {
    case Case::ollamaNotRunning:
        return QStringLiteral("Ollama is not running. Please start Ollama first.");
    case Case::modelNotInstalled:
        return QStringLiteral(
                   "The local model %1 is not installed. Press SETUP LOCAL MODEL or run: "
                   "ollama pull %1")
            .arg(text);
    case Case::ollamaError:
        return QStringLiteral("Ollama error: ") + text.left(200);
    case Case::generationFailed:
        break;
    }
    return QStringLiteral("Text generation failed");
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
    return {Case::timeout, QStringLiteral("The request timed out")};
}

PlatformError PlatformError::invalidBaseURL() {
    return {Case::invalidURL,
            QStringLiteral("The base URL is not a valid web address (http:// or https://)")};
}
