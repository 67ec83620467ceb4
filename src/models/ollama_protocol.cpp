#include "models/ollama_protocol.h"

#include "models/cloud_protocol.h"
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

// Native arguments through the value-to-text rule, except that an array or an
// object stays JSON (compact): the tools that take JSON text (a sheet's data,
// a deck's slides) get it as the model wrote it.
ToolArguments nativeArguments(const QJsonObject& object) {
    ToolArguments arguments = argumentsFromJson(object);
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isArray()) {
            arguments.insert(
                it.key(), QString::fromUtf8(
                              QJsonDocument(it.value().toArray()).toJson(QJsonDocument::Compact)));
        } else if (it.value().isObject()) {
            arguments.insert(it.key(), compactJson(it.value().toObject()));
        }
    }
    return arguments;
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
        localCallId(), name.toString(), nativeArguments(object), compactJson(object), {}};
}

} // namespace

WireMessages reduceForOllama(const WireMessages& messages) {
    const QLatin1String toolCallsKey("tool_calls");
    const QLatin1String toolNameKey("tool_name");
    WireMessages reduced;
    for (const QJsonValue& element : messages) {
        const QJsonObject message = element.toObject();
        const QJsonValue role = message.value(roleKey);
        const QJsonValue content = message.value(contentKey);
        if (!role.isString() || !content.isString()) {
            continue;
        }
        const bool isTool = role.toString() == QLatin1String("tool");
        const bool namesTool = message.value(toolNameKey).isString();
        QJsonObject sent{{roleKey, isTool && !namesTool ? QStringLiteral("user") : role.toString()},
                         {contentKey, content}};
        if (isTool && namesTool) {
            sent.insert(toolNameKey, message.value(toolNameKey));
        }
        if (message.value(toolCallsKey).isArray()) {
            sent.insert(toolCallsKey, message.value(toolCallsKey));
        }
        reduced.append(sent);
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
    if (reply.text.isEmpty() && reply.toolCalls.isEmpty()) {
        // "done_reason": "length" when num_predict ran out, "stop" otherwise.
        return emptyReplyError(document.object().value(QLatin1String("done_reason")).toString());
    }
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
    // An answer came, so something runs there: its own words (Ollama's "error"
    // member, else the body as sent), or its status when it sent none.
    QString said = error.isEmpty() ? QString::fromUtf8(answer.body).trimmed() : error;
    if (said.isEmpty()) {
        const QString status = answer.status ? QString::number(*answer.status) : QString();
        said =
            (QStringLiteral("HTTP ") + status + QLatin1Char(' ') + QString::fromUtf8(answer.reason))
                .trimmed();
    }
    LLMError refusal = LLMError::ollamaError(said);
    refusal.status = answer.status;
    return refusal;
}

ModelReply replyFromModelText(const QString& content) {
    if (!content.contains(QLatin1String("<tool_call>")) ||
        !content.contains(QLatin1String("</tool_call>"))) {
        return {content, {}};
    }
    const ToolCallParse parse = parseToolCalls(content);
    ModelReply reply{parse.text, {}};
    for (const ParsedToolCall& call : parse.calls) {
        reply.toolCalls.append(
            {localCallId(), call.tool, call.args, compactJson(call.args), {}, true});
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
