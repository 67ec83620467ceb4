#include "tools/tool_call_parser.h"

#include "tools/tool_arguments.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <optional>

namespace {

const QString openTag = QStringLiteral("<tool_call>");
const QString closeTag = QStringLiteral("</tool_call>");

std::optional<ParsedToolCall> decodeCall(const QString& body) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    QString name;
    if (object.value(QStringLiteral("tool")).isString()) {
        name = object.value(QStringLiteral("tool")).toString();
    } else if (object.value(QStringLiteral("name")).isString()) {
        name = object.value(QStringLiteral("name")).toString();
    } else {
        return std::nullopt;
    }
    ParsedToolCall call{name, {}};
    if (object.value(QStringLiteral("args")).isObject()) {
        call.args = argumentsFromJson(object.value(QStringLiteral("args")).toObject());
    } else if (object.value(QStringLiteral("arguments")).isObject()) {
        call.args = argumentsFromJson(object.value(QStringLiteral("arguments")).toObject());
    }
    return call;
}

bool isBlank(QStringView text) {
    return text.trimmed().isEmpty();
}

} // namespace

ToolCallParse parseToolCalls(const QString& reply) {
    QStringList parts;
    QList<ParsedToolCall> calls;
    QStringView rest(reply);

    while (true) {
        const qsizetype open = rest.indexOf(openTag);
        if (open < 0) {
            break;
        }
        const QStringView before = rest.first(open);
        if (!isBlank(before)) {
            parts << before.toString();
        }
        const QStringView afterOpen = rest.sliced(open + openTag.size());
        const qsizetype close = afterOpen.indexOf(closeTag);
        if (close < 0) {
            // An unclosed tag stays in the prose, tag included.
            parts << rest.sliced(open).toString();
            rest = {};
            break;
        }
        if (auto call = decodeCall(afterOpen.first(close).trimmed().toString())) {
            calls << *call;
        }
        rest = afterOpen.sliced(close + closeTag.size());
    }
    if (!isBlank(rest)) {
        parts << rest.toString();
    }

    if (calls.isEmpty()) {
        return {reply.trimmed(), {}, {}};
    }
    ToolCallParse result;
    result.calls = calls;
    if (!parts.isEmpty()) {
        result.text = parts.first().trimmed();
        result.remainder = QStringList(parts.mid(1)).join(QLatin1Char('\n')).trimmed();
    }
    return result;
}
