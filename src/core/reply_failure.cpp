#include "core/reply_failure.h"

namespace {

ReplyFailure failureOf(const CloudError& error) {
    switch (error.kind) {
    case CloudError::Case::serverError:
        return ReplyFailure::retry;
    case CloudError::Case::noApiKey:
        return ReplyFailure::settings;
    case CloudError::Case::detail:
        break;
    }
    // A body-less answer is quoted by its status line: a 5xx is the server's fault.
    return error.text.startsWith(QLatin1String("HTTP 5")) ? ReplyFailure::retry
                                                          : ReplyFailure::settings;
}

ReplyFailure failureOf(const LLMError& error) {
    switch (error.kind) {
    case LLMError::Case::ollamaNotRunning:
    case LLMError::Case::generationFailed:
        return ReplyFailure::retry;
    case LLMError::Case::modelNotInstalled:
    case LLMError::Case::ollamaError:
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
