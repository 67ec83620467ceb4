#include "models/model_error.h"

#include <QCoreApplication>

QString CloudError::description() const {
    switch (kind) {
    case Case::detail:
        return QStringLiteral("API error: ") + text.left(200);
    case Case::noApiKey:
        return QStringLiteral("No API key is set");
    case Case::serverError:
        break;
    }
    return QStringLiteral("Cloud API returned an error");
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
