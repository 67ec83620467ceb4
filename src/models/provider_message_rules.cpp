#include "models/provider_message_rules.h"

#include <algorithm>

namespace {

const QLatin1String roleKey("role");
const QLatin1String contentKey("content");
const QLatin1String toolCallsKey("tool_calls");
const QLatin1String reasoningKey("reasoning_content");

bool hasRole(const QJsonValue& message, QLatin1String role) {
    return message.toObject().value(roleKey).toString() == role;
}

bool callsTools(const QJsonValue& message) {
    return !message.toObject().value(toolCallsKey).toArray().isEmpty();
}

// Changes messages[index] in place through `change`.
template <typename Change> void amend(WireMessages& messages, qsizetype index, Change change) {
    QJsonObject message = messages.at(index).toObject();
    change(message);
    messages.replace(index, message);
}

// Every assistant message of a user turn that called a tool has a reasoning_content.
void keepDeepSeekReasoning(WireMessages& messages) {
    qsizetype turnStart = 0;
    for (qsizetype end = 0; end <= messages.size(); ++end) {
        if (end < messages.size() && !hasRole(messages.at(end), QLatin1String("user"))) {
            continue;
        }
        bool calledTools = false;
        for (qsizetype i = turnStart; i < end; ++i) {
            calledTools = calledTools || callsTools(messages.at(i));
        }
        for (qsizetype i = turnStart; calledTools && i < end; ++i) {
            if (hasRole(messages.at(i), QLatin1String("assistant")) &&
                !messages.at(i).toObject().contains(reasoningKey)) {
                amend(messages, i, [](QJsonObject& m) { m.insert(reasoningKey, QString()); });
            }
        }
        turnStart = end + 1;
    }
}

bool hasThoughtSignature(const QJsonValue& call) {
    return call.toObject()
        .value(QLatin1String("extra_content"))
        .toObject()
        .value(QLatin1String("google"))
        .toObject()
        .contains(QLatin1String("thought_signature"));
}

// Gemini signs the first call of each step; a step of the current turn whose
// calls carry no signature at all gets the dummy on its first call.
void signGeminiCurrentTurn(WireMessages& messages) {
    qsizetype turnStart = messages.size();
    while (turnStart > 0 && !hasRole(messages.at(turnStart - 1), QLatin1String("user"))) {
        --turnStart;
    }
    for (qsizetype i = turnStart; i < messages.size(); ++i) {
        const QJsonArray calls = messages.at(i).toObject().value(toolCallsKey).toArray();
        if (calls.isEmpty() || std::any_of(calls.begin(), calls.end(), hasThoughtSignature)) {
            continue;
        }
        amend(messages, i, [&calls](QJsonObject& m) {
            QJsonArray signedCalls = calls;
            QJsonObject first = signedCalls.first().toObject();
            QJsonObject extra = first.value(QLatin1String("extra_content")).toObject();
            QJsonObject google = extra.value(QLatin1String("google")).toObject();
            google.insert(QLatin1String("thought_signature"), geminiDummyThoughtSignature());
            extra.insert(QLatin1String("google"), google);
            first.insert(QLatin1String("extra_content"), extra);
            signedCalls.replace(0, first);
            m.insert(toolCallsKey, signedCalls);
        });
    }
}

bool emptyContent(const QJsonObject& message) {
    const QJsonValue content = message.value(contentKey);
    return !content.isString() || content.toString().isEmpty();
}

void fillArkContent(WireMessages& messages) {
    for (qsizetype i = 0; i < messages.size(); ++i) {
        const QJsonObject message = messages.at(i).toObject();
        if (!emptyContent(message)) {
            continue;
        }
        if (hasRole(message, QLatin1String("assistant")) && callsTools(message)) {
            amend(messages, i,
                  [](QJsonObject& m) { m.insert(contentKey, arkToolTurnPlaceholder()); });
        } else if (hasRole(message, QLatin1String("tool"))) {
            amend(messages, i,
                  [](QJsonObject& m) { m.insert(contentKey, arkEmptyResultPlaceholder()); });
        }
    }
}

} // namespace

WireMessages applyMessageRules(MessageRules rules, WireMessages messages) {
    switch (rules) {
    case MessageRules::deepseek:
        keepDeepSeekReasoning(messages);
        break;
    case MessageRules::gemini:
        signGeminiCurrentTurn(messages);
        break;
    case MessageRules::ark:
        fillArkContent(messages);
        break;
    case MessageRules::plain:
        break;
    }
    return messages;
}

QString geminiDummyThoughtSignature() {
    return QStringLiteral("skip_thought_signature_validator");
}

QString arkToolTurnPlaceholder() {
    return QStringLiteral(" ");
}

QString arkEmptyResultPlaceholder() {
    return QStringLiteral("(no output)");
}
