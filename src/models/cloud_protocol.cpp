#include "models/cloud_protocol.h"

#include "models/model_texts.h"
#include "tools/tool_arguments.h"
#include "tools/tool_catalogue.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>

#include <optional>

namespace {

// Every element an object, as the reply format promises; anything else
// means the structure is not the expected one.
std::optional<QJsonArray> arrayOfObjects(const QJsonValue& value) {
    if (!value.isArray()) {
        return std::nullopt;
    }
    const QJsonArray array = value.toArray();
    for (const QJsonValue& element : array) {
        if (!element.isObject()) {
            return std::nullopt;
        }
    }
    return array;
}

std::optional<QString> strictUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

const QLatin1String idKey("id");
const QLatin1String typeKey("type");
const QLatin1String functionKey("function");

// One "tool_calls" entry. Arguments come as a JSON object's text, or (from some
// compatible servers) as the object itself; an empty text is an empty object.
// Anything else cannot be run, and is said so rather than dropped.
Result<NativeToolCall> decodeToolCall(const QJsonValue& value) {
    const QJsonObject entry = value.toObject();
    const QJsonValue id = entry.value(idKey);
    const QJsonValue function = entry.value(functionKey);
    const QJsonValue name = function.toObject().value(QLatin1String("name"));
    const QJsonValue arguments = function.toObject().value(QLatin1String("arguments"));
    if (!name.isString() || name.toString().isEmpty()) {
        return CloudError::unreadableToolCall({});
    }
    QString raw;
    QJsonObject parsed;
    if (arguments.isObject()) {
        parsed = arguments.toObject();
        raw = QString::fromUtf8(QJsonDocument(parsed).toJson(QJsonDocument::Compact));
    } else if (arguments.isString()) {
        raw = arguments.toString();
        const QJsonDocument document = QJsonDocument::fromJson(raw.toUtf8());
        if (!document.isObject() && !raw.trimmed().isEmpty()) {
            return CloudError::unreadableToolCall(name.toString());
        }
        parsed = document.object();
    } else {
        return CloudError::unreadableToolCall(name.toString());
    }
    QJsonObject extras = entry;
    for (const QLatin1String key : {idKey, typeKey, functionKey}) {
        extras.remove(key);
    }
    // Gemini may answer "id": "", and a result sent back with an empty
    // tool_call_id is refused: such a call gets an id of our own.
    const QString callId = id.toString().isEmpty() ? generatedCallId() : id.toString();
    return NativeToolCall{callId, name.toString(), argumentsFromJson(parsed), raw, extras};
}

// "HTTP 200, text/html": the status and the media type as they came.
QString receivedForm(const HttpAnswer& answer) {
    const QString status = answer.status ? QString::number(*answer.status) : QStringLiteral("?");
    const QString type =
        QString::fromLatin1(answer.contentType.split(';').first().trimmed()).toLower();
    return QStringLiteral("HTTP %1, %2")
        .arg(status, type.isEmpty() ? ModelTexts::noContentType() : type);
}

// The text of a streamed {"error": …} object: its "message" when it has one.
QString errorMessage(const QJsonValue& error) {
    if (error.isString()) {
        return error.toString();
    }
    const QJsonValue message = error.toObject().value(QLatin1String("message"));
    if (message.isString()) {
        return message.toString();
    }
    return QString::fromUtf8(error.isObject()
                                 ? QJsonDocument(error.toObject()).toJson(QJsonDocument::Compact)
                                 : QJsonDocument(error.toArray()).toJson(QJsonDocument::Compact));
}

} // namespace

CloudError emptyReplyError(const QString& finishReason) {
    if (finishReason == QLatin1String("length")) {
        return CloudError::outputLimit();
    }
    if (finishReason == QLatin1String("content_filter")) {
        return CloudError::contentFilter();
    }
    return CloudError::emptyAnswer();
}

QString generatedCallId() {
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    QString id = QStringLiteral("call_");
    for (int i = 0; i < 24; ++i) {
        id += alphabet.at(QRandomGenerator::global()->bounded(int(alphabet.size())));
    }
    return id;
}

QByteArray cloudChatBody(const QString& model, const WireMessages& messages, bool stream,
                         ChatTools tools, const QJsonObject& asked) {
    QJsonObject body{{QLatin1String("model"), model},
                     {QLatin1String("messages"), messages},
                     {QLatin1String("stream"), stream}};
    if (tools == ChatTools::catalogue) {
        body.insert(QLatin1String("tools"), toolDefinitions());
        for (auto it = asked.begin(); it != asked.end(); ++it) {
            body.insert(it.key(), it.value());
        }
    }
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

std::optional<QJsonObject> membersAskedFor(const HttpAnswer& answer) {
    // OpenAI's GPT-5.6 and GPT-6 models take function tools on chat completions
    // only with reasoning switched off, and their default effort is not "none":
    // leaving the member out is refused as well. The 400 names the member and
    // the value it wants (https://github.com/BerriAI/litellm/pull/34569,
    // https://docs.oxen.ai/inference-api/reference/models/gpt-6-luna.md). Older
    // models that only say "use /v1/responses" offer no such way out.
    if (answer.status != 400) {
        return std::nullopt;
    }
    const QJsonObject error =
        QJsonDocument::fromJson(answer.body).object().value(QLatin1String("error")).toObject();
    static const QRegularExpression asksForNone(
        QStringLiteral(R"(set reasoning_effort to ['"]none['"])"),
        QRegularExpression::CaseInsensitiveOption);
    if (error.value(QLatin1String("param")).toString() != QLatin1String("reasoning_effort") ||
        !asksForNone.match(error.value(QLatin1String("message")).toString()).hasMatch()) {
        return std::nullopt;
    }
    return QJsonObject{{QLatin1String("reasoning_effort"), QLatin1String("none")}};
}

CloudError cloudStatusError(const HttpAnswer& answer, const QDateTime& now) {
    CloudError error = CloudError::serverError();
    if (answer.status && answer.body.trimmed().isEmpty()) {
        // Nothing to quote: the status says what happened.
        QString text = QStringLiteral("HTTP %1").arg(*answer.status);
        if (!answer.reason.isEmpty()) {
            text += QLatin1Char(' ') + QString::fromLatin1(answer.reason);
        }
        error = CloudError::detail(text);
    } else if (std::optional<QString> text = strictUtf8(answer.body); text && answer.status) {
        error = CloudError::detail(*text);
    }
    error.status = answer.status;
    if (answer.status == 429 || answer.status == 503) {
        error.retryAfter = retryAfterWait(answer.retryAfter, now);
    }
    return error;
}

Result<QJsonDocument> answerJson(const HttpAnswer& answer) {
    QJsonParseError parseError{};
    QJsonDocument document = QJsonDocument::fromJson(answer.body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return PlatformError{
            PlatformError::Case::invalidJson,
            ModelTexts::notJson().arg(receivedForm(answer), parseError.errorString())};
    }
    return document;
}

Result<ModelReply> decodeCloudReply(const HttpAnswer& answer, const QDateTime& now) {
    if (answer.status != 200) {
        return cloudStatusError(answer, now);
    }
    const Result<QJsonDocument> parsed = answerJson(answer);
    if (!parsed.ok()) {
        return parsed.error();
    }
    const QJsonDocument& document = parsed.value();
    const std::optional<QJsonArray> choices =
        arrayOfObjects(document.object().value(QLatin1String("choices")));
    if (!document.isObject() || !choices || choices->isEmpty()) {
        return CloudError::serverError();
    }
    const QJsonObject choice = choices->first().toObject();
    const QJsonValue message = choice.value(QLatin1String("message"));
    if (!message.isObject()) {
        return CloudError::serverError();
    }
    const QJsonObject reply = message.toObject();
    Result<QList<NativeToolCall>> calls =
        decodeCloudToolCalls(reply.value(QLatin1String("tool_calls")));
    if (!calls.ok()) {
        return calls.error();
    }
    // A null or missing content reads as no text.
    const QString text = reply.value(QLatin1String("content")).toString();
    if (text.isEmpty() && calls.value().isEmpty()) {
        return emptyReplyError(choice.value(QLatin1String("finish_reason")).toString());
    }
    const QJsonValue reasoning = reply.value(QLatin1String("reasoning_content"));
    return ModelReply{text, std::move(calls.value()),
                      reasoning.isString() ? std::optional(reasoning.toString()) : std::nullopt};
}

Result<QList<NativeToolCall>> decodeCloudToolCalls(const QJsonValue& toolCalls) {
    QList<NativeToolCall> calls;
    if (!toolCalls.isArray()) {
        return calls;
    }
    for (const QJsonValue& entry : toolCalls.toArray()) {
        Result<NativeToolCall> call = decodeToolCall(entry);
        if (!call.ok()) {
            return call.error();
        }
        calls.append(std::move(call.value()));
    }
    return calls;
}

StreamLine readCloudStreamLine(QByteArrayView line) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!line.isEmpty() && isBlank(line.front())) {
        line = line.sliced(1);
    }
    while (!line.isEmpty() && isBlank(line.back())) {
        line.chop(1);
    }
    // The space after the colon is optional in an event stream: some gateways leave it
    // out, and their whole reply would otherwise be dropped.
    static constexpr QByteArrayView prefix("data:");
    if (!line.startsWith(prefix)) {
        return {};
    }
    QByteArrayView payload = line.sliced(prefix.size());
    if (payload.startsWith(' ')) {
        payload = payload.sliced(1);
    }
    if (payload == QByteArrayView("[DONE]")) {
        return {{}, true};
    }
    const QJsonDocument chunk = QJsonDocument::fromJson(payload.toByteArray());
    // A provider that fails after the 200 says so in a chunk of its own.
    const QJsonValue error = chunk.object().value(QLatin1String("error"));
    if (!error.isUndefined() && !error.isNull()) {
        return {{}, true, CloudError::detail(errorMessage(error))};
    }
    const std::optional<QJsonArray> choices =
        arrayOfObjects(chunk.object().value(QLatin1String("choices")));
    if (!choices || choices->isEmpty()) {
        return {};
    }
    const QJsonValue delta = choices->first().toObject().value(QLatin1String("delta"));
    const QJsonValue content = delta.toObject().value(QLatin1String("content"));
    if (!delta.isObject() || !content.isString()) {
        return {};
    }
    return {content.toString(), false};
}

Result<QStringList> decodeModelList(const HttpAnswer& answer) {
    // An HTML page (a wrong base URL, a proxy's sign-in page) answers 200 too.
    const QJsonValue data =
        QJsonDocument::fromJson(answer.body).object().value(QLatin1String("data"));
    if (answer.status != 200 || !data.isArray()) {
        return CloudError::notModelList(receivedForm(answer));
    }
    QStringList ids;
    for (const QJsonValue& entry : data.toArray()) {
        const QJsonValue id = entry.toObject().value(idKey);
        if (id.isString() && !id.toString().isEmpty()) {
            ids << id.toString();
        }
    }
    return ids;
}
