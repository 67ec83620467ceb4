#include "models/context_overflow.h"

#include <QRegularExpression>

namespace {

// The refused request's text: what the provider said, in whichever client.
QString refusalText(const ModelError& error) {
    if (const auto* cloud = std::get_if<CloudError>(&error);
        cloud != nullptr && cloud->kind == CloudError::Case::detail) {
        return cloud->text;
    }
    if (const auto* local = std::get_if<LLMError>(&error);
        local != nullptr && local->kind == LLMError::Case::ollamaError) {
        return local->text;
    }
    return {};
}

struct Wording {
    QRegularExpression pattern;
    int limitGroup = 0; // 0: the wording names no counts
    int requestedGroup = 0;
};

const QList<Wording>& wordings() {
    static const auto options = QRegularExpression::CaseInsensitiveOption;
    static const QList<Wording> all{
        {QRegularExpression(
             QStringLiteral(
                 R"(maximum context length is (\d+) tokens\. However, (?:you requested|your )"
                 R"(messages resulted in) (\d+) tokens)"),
             options),
         1, 2},
        {QRegularExpression(
             QStringLiteral(R"(input token count \((\d+)\) exceeds the maximum number of )"
                            R"(tokens allowed \((\d+)\))"),
             options),
         2, 1},
        {QRegularExpression(
             QStringLiteral(R"(maximum prompt length is (\d+) but the request contains (\d+))"),
             options),
         1, 2},
        {QRegularExpression(QStringLiteral(R"(\"context_length_exceeded\")"), options)},
        {QRegularExpression(
            QStringLiteral(R"(input length exceeds (?:the|maximum) context length)"), options)},
    };
    return all;
}

} // namespace

std::optional<ContextOverflow> contextOverflow(const ModelError& error) {
    const QString text = refusalText(error);
    if (text.isEmpty()) {
        return std::nullopt;
    }
    for (const Wording& wording : wordings()) {
        const QRegularExpressionMatch match = wording.pattern.match(text);
        if (!match.hasMatch()) {
            continue;
        }
        if (wording.limitGroup == 0) {
            return ContextOverflow{};
        }
        const double limit = match.captured(wording.limitGroup).toDouble();
        const double requested = match.captured(wording.requestedGroup).toDouble();
        if (limit <= 0 || requested <= limit) {
            return ContextOverflow{};
        }
        return ContextOverflow{limit / requested};
    }
    return std::nullopt;
}
