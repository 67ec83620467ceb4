#include "support/provider_replay.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <functional>

namespace {

const QLatin1String toolCallsKey("tool_calls");

QByteArray jsonBytes(const QJsonValue& value) {
    if (value.isNull() || value.isUndefined()) {
        return {};
    }
    return value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                           : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

QString withoutPrefix(QString id) {
    return id.startsWith(QLatin1String("models/")) ? id.mid(7) : id;
}

QList<QJsonObject> messagesOf(const QJsonObject& request) {
    QList<QJsonObject> messages;
    for (const QJsonValue& message : request.value(QLatin1String("messages")).toArray()) {
        messages << message.toObject();
    }
    return messages;
}

bool callsAnswered(const QList<QJsonObject>& messages) {
    for (qsizetype i = 0; i < messages.size(); ++i) {
        const QJsonArray calls = messages[i].value(toolCallsKey).toArray();
        if (calls.isEmpty()) {
            continue;
        }
        QSet<QString> open;
        for (const QJsonValue& call : calls) {
            open << call.toObject().value(QLatin1String("id")).toString();
        }
        qsizetype next = i + 1;
        for (; next < messages.size() &&
               messages[next].value(QLatin1String("role")).toString() == QLatin1String("tool");
             ++next) {
            if (!open.remove(messages[next].value(QLatin1String("tool_call_id")).toString())) {
                return false; // a result for a call this turn did not make
            }
        }
        if (!open.isEmpty()) {
            return false;
        }
    }
    return true;
}

bool idsPresent(const QList<QJsonObject>& messages) {
    for (const QJsonObject& message : messages) {
        for (const QJsonValue& call : message.value(toolCallsKey).toArray()) {
            if (call.toObject().value(QLatin1String("id")).toString().isEmpty()) {
                return false;
            }
        }
        if (message.contains(QLatin1String("tool_call_id")) &&
            message.value(QLatin1String("tool_call_id")).toString().isEmpty()) {
            return false;
        }
    }
    return true;
}

// Every turn that called tools carries back what the recorded tool-call reply
// gave: the calls' own members, or the reasoning.
bool echoes(const QList<QJsonObject>& messages, const QJsonObject& issued, bool reasoning) {
    const QJsonArray issuedCalls = issued.value(toolCallsKey).toArray();
    for (const QJsonObject& message : messages) {
        const QJsonArray calls = message.value(toolCallsKey).toArray();
        if (calls.isEmpty()) {
            continue;
        }
        if (reasoning) {
            if (message.value(QLatin1String("reasoning_content")) !=
                issued.value(QLatin1String("reasoning_content"))) {
                return false;
            }
            continue;
        }
        for (qsizetype i = 0; i < calls.size() && i < issuedCalls.size(); ++i) {
            const QJsonObject sent = issuedCalls[i].toObject();
            for (auto it = sent.begin(); it != sent.end(); ++it) {
                const bool own = it.key() != QLatin1String("id") &&
                                 it.key() != QLatin1String("type") &&
                                 it.key() != QLatin1String("function");
                if (own && calls[i].toObject().value(it.key()) != it.value()) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool onlyKnownMembers(const QList<QJsonObject>& messages) {
    static const QSet<QString> messageKeys{QStringLiteral("role"), QStringLiteral("content"),
                                           QStringLiteral("tool_calls"),
                                           QStringLiteral("tool_call_id"), QStringLiteral("name")};
    static const QSet<QString> callKeys{QStringLiteral("id"), QStringLiteral("type"),
                                        QStringLiteral("function")};
    for (const QJsonObject& message : messages) {
        for (const QString& key : message.keys()) {
            if (!messageKeys.contains(key)) {
                return false;
            }
        }
        for (const QJsonValue& call : message.value(toolCallsKey).toArray()) {
            for (const QString& key : call.toObject().keys()) {
                if (!callKeys.contains(key)) {
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace

ProviderReplay::ProviderReplay(const QString& name) {
    QFile file(QStringLiteral(EMBERGLASS_PROVIDER_DATA "/") + name + QStringLiteral(".json"));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("no provider replay %s", qPrintable(file.fileName()));
    }
    m_corpus = QJsonDocument::fromJson(file.readAll()).object();
}

QString ProviderReplay::provider() const {
    return m_corpus.value(QLatin1String("provider")).toString();
}

QJsonObject ProviderReplay::section(const QString& name) const {
    return m_corpus.value(name).toObject();
}

FakeResponse ProviderReplay::response(const QString& sectionName) const {
    const QJsonObject recorded = section(sectionName);
    // A busy DeepSeek sends blank lines before the whole answer.
    const QByteArray blank(recorded.value(QLatin1String("leadingBlankLines")).toInt(), '\n');
    return FakeResponse::text(recorded.value(QLatin1String("status")).toInt(200),
                              blank + jsonBytes(recorded.value(QLatin1String("body"))),
                              "application/json");
}

FakeResponse ProviderReplay::error(const QString& name) const {
    const QJsonObject recorded = section(QStringLiteral("errors")).value(name).toObject();
    return FakeResponse::text(recorded.value(QLatin1String("status")).toInt(),
                              jsonBytes(recorded.value(QLatin1String("body"))), "application/json");
}

FakeResponse ProviderReplay::stream(const QString& sectionName) const {
    QByteArrayList chunks;
    for (const QJsonValue& line : section(sectionName).value(QLatin1String("lines")).toArray()) {
        chunks << line.toString().toUtf8() + '\n';
    }
    return FakeResponse::streamed(200, chunks, 0, "text/event-stream");
}

QString ProviderReplay::streamText(const QString& sectionName) const {
    return section(sectionName).value(QLatin1String("text")).toString();
}

QString ProviderReplay::streamError(const QString& sectionName) const {
    return section(sectionName).value(QLatin1String("error")).toString();
}

QStringList ProviderReplay::modelIds() const {
    QStringList ids;
    const QJsonObject models =
        section(QStringLiteral("models")).value(QLatin1String("body")).toObject();
    for (const QJsonValue& entry : models.value(QLatin1String("data")).toArray()) {
        ids << entry.toObject().value(QLatin1String("id")).toString();
    }
    const QJsonObject tags =
        section(QStringLiteral("tags")).value(QLatin1String("body")).toObject();
    for (const QJsonValue& entry : tags.value(QLatin1String("models")).toArray()) {
        ids << entry.toObject().value(QLatin1String("name")).toString();
    }
    return ids;
}

std::optional<QString> ProviderReplay::refusal(const QJsonObject& request) const {
    const QList<QJsonObject> messages = messagesOf(request);
    const QJsonObject issued = section(QStringLiteral("toolCall"))
                                   .value(QLatin1String("body"))
                                   .toObject()
                                   .value(QLatin1String("choices"))
                                   .toArray()
                                   .first()
                                   .toObject()
                                   .value(QLatin1String("message"))
                                   .toObject();
    QStringList listed;
    for (const QString& id : modelIds()) {
        listed << withoutPrefix(id);
    }
    const QString model = withoutPrefix(request.value(QLatin1String("model")).toString());
    const QList<std::pair<QString, std::function<bool()>>> checks{
        {QStringLiteral("modelListed"), [&] { return listed.contains(model); }},
        {QStringLiteral("toolResultsFollowCalls"), [&] { return callsAnswered(messages); }},
        {QStringLiteral("nonEmptyToolCallId"), [&] { return idsPresent(messages); }},
        {QStringLiteral("echoToolCallExtras"), [&] { return echoes(messages, issued, false); }},
        {QStringLiteral("reasoningContentOnToolTurns"),
         [&] { return echoes(messages, issued, true); }},
        {QStringLiteral("noUnknownMembers"), [&] { return onlyKnownMembers(messages); }}};
    static const QHash<QString, QString> errorOf{
        {QStringLiteral("modelListed"), QStringLiteral("modelNotFound")},
        {QStringLiteral("toolResultsFollowCalls"), QStringLiteral("toolResultsMismatch")},
        {QStringLiteral("nonEmptyToolCallId"), QStringLiteral("emptyToolCallId")},
        {QStringLiteral("echoToolCallExtras"), QStringLiteral("missingThoughtSignature")},
        {QStringLiteral("reasoningContentOnToolTurns"), QStringLiteral("missingReasoningContent")},
        {QStringLiteral("noUnknownMembers"), QStringLiteral("unknownMember")}};
    QStringList rules;
    for (const QJsonValue& rule : m_corpus.value(QLatin1String("rules")).toArray()) {
        rules << rule.toString();
    }
    for (const auto& [rule, passes] : checks) {
        if (rules.contains(rule) && !passes()) {
            return errorOf.value(rule);
        }
    }
    return std::nullopt;
}
