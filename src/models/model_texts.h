#pragma once

#include <QCoreApplication>
#include <QString>

// What a model client says when a reply fails, in one place and marked for
// translation (context "ModelTexts" in translations/emberglass.ts).
namespace ModelTexts {

// %1: what the provider said.
inline QString apiError() {
    return QCoreApplication::translate("ModelTexts", "API error: %1");
}
inline QString outputLimit() {
    return QCoreApplication::translate(
        "ModelTexts", "The model stopped before it answered (it reached its output limit)");
}
inline QString contentFilter() {
    return QCoreApplication::translate("ModelTexts",
                                       "The provider withheld the answer (content filter)");
}
inline QString emptyAnswer() {
    return QCoreApplication::translate("ModelTexts", "The model sent an empty answer");
}
inline QString unnamedToolCall() {
    return QCoreApplication::translate("ModelTexts",
                                       "The model called a tool without a readable name");
}
// %1: the tool's name.
inline QString unreadableToolCall() {
    return QCoreApplication::translate(
        "ModelTexts", "The model's call of %1 could not be read (its arguments are not a JSON "
                      "object)");
}
// %1: the status and content type.
inline QString notModelList() {
    return QCoreApplication::translate("ModelTexts",
                                       "The server did not answer with a model list (%1)");
}
// %1: the status and content type, %2: what the JSON parser said.
inline QString notJson() {
    return QCoreApplication::translate("ModelTexts", "The server's answer is not JSON (%1): %2");
}
inline QString noContentType() {
    return QCoreApplication::translate("ModelTexts", "no content type");
}
// %1: the reason the provider gave.
inline QString responseIncomplete() {
    return QCoreApplication::translate("ModelTexts", "The response is incomplete (%1)");
}
inline QString noApiKey() {
    return QCoreApplication::translate("ModelTexts", "No API key is set");
}
inline QString cloudError() {
    return QCoreApplication::translate("ModelTexts", "Cloud API returned an error");
}
// %1: the error, %2: seconds.
inline QString providerAsksToWait() {
    return QCoreApplication::translate("ModelTexts",
                                       "%1 (the provider asks to wait %2 s before trying again)");
}
inline QString ollamaNotRunning() {
    return QCoreApplication::translate("ModelTexts",
                                       "Ollama is not running. Please start Ollama first.");
}
// %1: the model.
inline QString modelNotInstalled() {
    return QCoreApplication::translate(
        "ModelTexts",
        "The local model %1 is not installed. Press SETUP LOCAL MODEL or run: ollama pull %1");
}
// %1: what Ollama said.
inline QString ollamaError() {
    return QCoreApplication::translate("ModelTexts", "Ollama error: %1");
}
inline QString generationFailed() {
    return QCoreApplication::translate("ModelTexts", "Text generation failed");
}
inline QString timedOut() {
    return QCoreApplication::translate("ModelTexts", "The request timed out");
}
inline QString invalidBaseUrl() {
    return QCoreApplication::translate(
        "ModelTexts", "The base URL is not a valid web address (http:// or https://)");
}

} // namespace ModelTexts
