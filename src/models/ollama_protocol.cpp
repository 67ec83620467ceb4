#include "models/ollama_protocol.h"

#include "tools/tool_arguments.h"
#include "tools/tool_call_parser.h"
#include "tools/tool_catalogue.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace {

const QLatin1String roleKey("role");
const QLatin1String contentKey("content");
const QLatin1String messageKey("message");

QJsonObject samplingOptions() {
    return {{QLatin1String("temperature"), 0.7},
            {QLatin1String("top_p"), 0.9},
            {QLatin1String("num_predict"), 2048.0}};
}

// The "content" string of a reply's "message" object, if it has one.
std::optional<QString> messageContent(const QJsonObject& object) {
    const QJsonValue content = object.value(messageKey).toObject().value(contentKey);
    if (!object.value(messageKey).isObject() || !content.isString()) {
        return std::nullopt;
    }
    return content.toString();
}

QString localCallId() {
    return QStringLiteral("local_") +
           QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().left(8);
}

QString compactJson(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QString compactJson(const ToolArguments& arguments) {
    QJsonObject object;
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        object.insert(it.key(), it.value());
    }
    return compactJson(object);
}

// One entry of "message"."tool_calls": {"function": {"name", "arguments"}},
// the arguments a JSON object (a JSON text is read too).
std::optional<NativeToolCall> nativeToolCall(const QJsonValue& entry) {
    const QJsonObject function = entry.toObject().value(QLatin1String("function")).toObject();
    const QJsonValue name = function.value(QLatin1String("name"));
    if (!name.isString() || name.toString().isEmpty()) {
        return std::nullopt;
    }
    const QJsonValue arguments = function.value(QLatin1String("arguments"));
    const QJsonObject object = arguments.isString()
                                   ? QJsonDocument::fromJson(arguments.toString().toUtf8()).object()
                                   : arguments.toObject();
    return NativeToolCall{
        localCallId(), name.toString(), argumentsFromJson(object), compactJson(object), {}};
}

} // namespace

WireMessages reduceForOllama(const WireMessages& messages) {
    WireMessages reduced;
    for (const QJsonValue& element : messages) {
        const QJsonValue role = element.toObject().value(roleKey);
        const QJsonValue content = element.toObject().value(contentKey);
        if (!role.isString() || !content.isString()) {
            continue;
        }
        const QString sentRole =
            role.toString() == QLatin1String("tool") ? QStringLiteral("user") : role.toString();
        reduced.append(QJsonObject{{roleKey, sentRole}, {contentKey, content}});
    }
    return reduced;
}

QByteArray ollamaChatBody(const QString& model, const WireMessages& messages, bool stream,
                          OllamaTools tools) {
    QJsonObject body{{QLatin1String("model"), model},
                     {QLatin1String("messages"), reduceForOllama(messages)},
                     {QLatin1String("stream"), stream},
                     {QLatin1String("options"), samplingOptions()}};
    if (tools == OllamaTools::catalogue) {
        body.insert(QLatin1String("tools"), toolDefinitions());
    }
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

Result<ModelReply> decodeOllamaReply(const HttpAnswer& answer, const QString& model) {
    if (answer.status != 200) {
        return ollamaStatusError(answer, model);
    }
    const QJsonDocument document = QJsonDocument::fromJson(answer.body);
    const std::optional<QString> content = messageContent(document.object());
    if (!document.isObject() || !content) {
        return LLMError{LLMError::Case::generationFailed};
    }
    ModelReply reply = replyFromModelText(*content);
    QList<NativeToolCall> calls;
    const QJsonValue toolCalls =
        document.object().value(messageKey).toObject().value(QLatin1String("tool_calls"));
    for (const QJsonValue& entry : toolCalls.toArray()) {
        if (std::optional<NativeToolCall> call = nativeToolCall(entry)) {
            calls.append(std::move(*call));
        }
    }
    reply.toolCalls = calls + reply.toolCalls;
    return reply;
}

LLMError ollamaStatusError(const HttpAnswer& answer, const QString& model) {
    // {"error": "model 'qwen2.5:3b' not found"}; older servers add ", try pulling it first".
    const QString error =
        QJsonDocument::fromJson(answer.body).object().value(QLatin1String("error")).toString();
    if (answer.status == 404 && error.contains(QLatin1String("model")) &&
        error.contains(QLatin1String("not found"))) {
        return LLMError::modelNotInstalled(model);
    }
    return LLMError{LLMError::Case::ollamaNotRunning};
}

ModelReply replyFromModelText(const QString& content) {
    if (!content.contains(QLatin1String("<tool_call>")) ||
        !content.contains(QLatin1String("</tool_call>"))) {
        return {content, {}};
    }
    const ToolCallParse parse = parseToolCalls(content);
    ModelReply reply{parse.text, {}};
    for (const ParsedToolCall& call : parse.calls) {
        reply.toolCalls.append({localCallId(), call.tool, call.args, compactJson(call.args)});
    }
    return reply;
}

StreamLine readOllamaStreamLine(QByteArrayView line) {
    if (line.isEmpty()) {
        return {};
    }
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray());
    const QJsonObject object = document.object();
    const QJsonValue error = object.value(QLatin1String("error"));
    if (error.isString()) {
        return {{}, true, LLMError::ollamaError(error.toString())};
    }
    const std::optional<QString> content = messageContent(object);
    if (!document.isObject() || !content) {
        return {};
    }
    const QJsonValue done = object.value(QLatin1String("done"));
    return {*content, done.isBool() && done.toBool()};
}

bool listsQwenModel(const HttpAnswer& answer) {
    if (answer.status != 200) {
        return false;
    }
    const QJsonValue models =
        QJsonDocument::fromJson(answer.body).object().value(QLatin1String("models"));
    for (const QJsonValue& model : models.toArray()) {
        const QJsonValue name = model.toObject().value(QLatin1String("name"));
        if (name.isString() && name.toString().startsWith(QLatin1String("qwen"))) {
            return true;
        }
    }
    return false;
}
