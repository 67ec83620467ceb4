#pragma once

#include <QString>

#include <chrono>
#include <optional>
#include <variant>

// The cloud client's protocol-level failures.
struct CloudError {
    enum class Case {
        detail,
        serverError,
        noApiKey,
        outputLimit,
        contentFilter,
        emptyAnswer,
        unreadableToolCall,
        notModelList
    };
    Case kind = Case::serverError;
    // The provider's error body, for `detail`; the tool's name (may be empty),
    // for `unreadableToolCall`; the status and content type, for `notModelList`.
    QString text;
    // How long a 429 or 503 asked to wait before trying again.
    std::optional<std::chrono::seconds> retryAfter = std::nullopt;
    // The HTTP status of a refused request (none for a failure inside a 200):
    // what can mend it depends on it more than on the words of the body.
    std::optional<int> status = std::nullopt;

    static CloudError detail(QString body) { return {Case::detail, std::move(body)}; }
    static CloudError serverError() { return {Case::serverError, {}}; }
    // Listing models needs a key; without one no request is made.
    static CloudError noApiKey() { return {Case::noApiKey, {}}; }
    // A reply without text or calls that says why ("length", "content_filter").
    static CloudError outputLimit() { return {Case::outputLimit, {}}; }
    static CloudError contentFilter() { return {Case::contentFilter, {}}; }
    static CloudError emptyAnswer() { return {Case::emptyAnswer, {}}; }
    static CloudError unreadableToolCall(QString tool) {
        return {Case::unreadableToolCall, std::move(tool)};
    }
    // `received`: "HTTP 200, text/html", as the answer came.
    static CloudError notModelList(QString received) {
        return {Case::notModelList, std::move(received)};
    }
    QString description() const;
    bool operator==(const CloudError&) const = default;
};

// The local (Ollama) client's protocol-level failures.
struct LLMError {
    enum class Case { generationFailed, ollamaNotRunning, modelNotInstalled, ollamaError };
    Case kind = Case::generationFailed;
    // The model tag, for `modelNotInstalled`; Ollama's own message, for
    // `ollamaError` (an {"error": …} line in a streamed answer).
    QString text = {};
    // The HTTP status Ollama refused the request with, for `ollamaError`.
    std::optional<int> status = std::nullopt;

    static LLMError modelNotInstalled(QString model) {
        return {Case::modelNotInstalled, std::move(model)};
    }
    static LLMError ollamaError(QString message) { return {Case::ollamaError, std::move(message)}; }

    QString description() const;
    bool operator==(const LLMError&) const = default;
};

// Failures below the protocol, passed through with Qt's own description:
// transport errors, a stop by the user, a timeout, a body that is not JSON,
// a base URL that forms no request URL.
struct PlatformError {
    // `refused`: nothing listens at the address (the connection was refused).
    enum class Case { transport, cancelled, timeout, invalidJson, invalidURL, refused };
    Case kind = Case::transport;
    QString text;

    // Qt's own words for an aborted request; also used for a request that
    // was cancelled before it started.
    static PlatformError cancelled();
    // Qt reports a transfer timeout as a cancellation; say what happened.
    static PlatformError timedOut();
    // The base URL plus the request path names no http(s) address.
    static PlatformError invalidBaseURL();

    QString description() const { return text; }
    bool operator==(const PlatformError&) const = default;
};

using ModelError = std::variant<CloudError, LLMError, PlatformError>;

// The user-facing text shown after "Error: ".
QString errorDescription(const ModelError& error);

// True when the request ended because the caller cancelled it.
bool isCancellation(const ModelError& error);
