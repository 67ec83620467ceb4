#include "models/cloud_protocol.h"

#include "tools/tool_arguments.h"
#include "tools/tool_catalogue.h"

#include <QJsonDocument>
#include <QJsonObject>
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

std::optional<NativeToolCall> decodeToolCall(const QJsonObject& entry) {
    const QJsonValue id = entry.value(QLatin1String("id"));
    const QJsonValue function = entry.value(QLatin1String("function"));
    const QJsonValue name = function.toObject().value(QLatin1String("name"));
    const QJsonValue arguments = function.toObject().value(QLatin1String("arguments"));
    if (!id.isString() || !function.isObject() || !name.isString() || !arguments.isString()) {
        return std::nullopt;
    }
    const QString raw = arguments.toString();
    const QJsonDocument parsed = QJsonDocument::fromJson(raw.toUtf8());
    return NativeToolCall{id.toString(), name.toString(),
                          parsed.isObject() ? argumentsFromJson(parsed.object()) : ToolArguments{},
                          raw};
}

} // namespace

QByteArray cloudChatBody(const QString& model, const WireMessages& messages, bool stream) {
    QJsonObject body{{QLatin1String("model"), model},
                     {QLatin1String("messages"), messages},
                     {QLatin1String("stream"), stream}};
    if (!stream) {
        body.insert(QLatin1String("tools"), toolDefinitions());
    }
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

Result<ModelReply> decodeCloudReply(const HttpAnswer& answer) {
    if (answer.status != 200) {
        if (std::optional<QString> text = strictUtf8(answer.body)) {
            return CloudError::detail(*text);
        }
        return CloudError::serverError();
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(answer.body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return PlatformError{PlatformError::Case::invalidJson, parseError.errorString()};
    }
    const std::optional<QJsonArray> choices =
        arrayOfObjects(document.object().value(QLatin1String("choices")));
    if (!document.isObject() || !choices || choices->isEmpty()) {
        return CloudError::serverError();
    }
    const QJsonValue message = choices->first().toObject().value(QLatin1String("message"));
    if (!message.isObject()) {
        return CloudError::serverError();
    }
    const QJsonObject reply = message.toObject();
    // A null or missing content reads as no text.
    return ModelReply{reply.value(QLatin1String("content")).toString(),
                      decodeCloudToolCalls(reply.value(QLatin1String("tool_calls")))};
}

QList<NativeToolCall> decodeCloudToolCalls(const QJsonValue& toolCalls) {
    QList<NativeToolCall> calls;
    const std::optional<QJsonArray> entries = arrayOfObjects(toolCalls);
    if (!entries) {
        return calls;
    }
    for (const QJsonValue& entry : *entries) {
        if (std::optional<NativeToolCall> call = decodeToolCall(entry.toObject())) {
            calls.append(std::move(*call));
        }
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
    static constexpr QByteArrayView prefix("data: ");
    if (!line.startsWith(prefix)) {
        return {};
    }
    const QByteArrayView payload = line.sliced(prefix.size());
    if (payload == QByteArrayView("[DONE]")) {
        return {{}, true};
    }
    const QJsonDocument chunk = QJsonDocument::fromJson(payload.toByteArray());
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
