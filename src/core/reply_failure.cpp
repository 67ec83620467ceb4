#include "core/reply_failure.h"

namespace {

// The server's failures, a timeout and a rate limit pass; any other refusal
// (the key, the model, the request) needs the settings changed.
ReplyFailure failureOfStatus(int status) {
    return status >= 500 || status == 408 || status == 429 ? ReplyFailure::retry
                                                           : ReplyFailure::settings;
}

ReplyFailure failureOf(const CloudError& error) {
    if (error.status) {
        return failureOfStatus(*error.status);
    }
    switch (error.kind) {
    case CloudError::Case::serverError:
    case CloudError::Case::emptyAnswer:
    case CloudError::Case::unreadableToolCall:
        // A garbled or empty answer: the next one may well be sound.
        return ReplyFailure::retry;
    case CloudError::Case::detail:
    case CloudError::Case::noApiKey:
    case CloudError::Case::outputLimit:
    case CloudError::Case::contentFilter:
    case CloudError::Case::notModelList:
        break;
    }
    return ReplyFailure::settings;
}

ReplyFailure failureOf(const LLMError& error) {
    switch (error.kind) {
    case LLMError::Case::ollamaNotRunning:
    case LLMError::Case::generationFailed:
        return ReplyFailure::retry;
    case LLMError::Case::ollamaError:
        return error.status ? failureOfStatus(*error.status) : ReplyFailure::settings;
    case LLMError::Case::modelNotInstalled:
        break;
    }
    return ReplyFailure::settings;
}

ReplyFailure failureOf(const PlatformError& error) {
    return error.kind == PlatformError::Case::invalidURL ? ReplyFailure::settings
                                                         : ReplyFailure::retry;
}

} // namespace

std::optional<ReplyFailure> replyFailureFor(const ModelError& error) {
    if (isCancellation(error)) {
        return std::nullopt;
    }
    return std::visit([](const auto& e) { return failureOf(e); }, error);
}

QString toText(ReplyFailure failure) {
    return failure == ReplyFailure::retry ? QStringLiteral("retry") : QStringLiteral("settings");
}
