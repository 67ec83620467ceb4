#include "cli/tool_input.h"

#include "tools/tool_arguments.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

std::optional<ToolInput> readToolInput(const QStringList& commandLine, QString* problem) {
    if (commandLine.size() < 2 || commandLine.size() > 3) {
        *problem = QStringLiteral("Expected a tool name and at most one JSON object.");
        return std::nullopt;
    }
    ToolInput input{commandLine[1], {}};
    if (commandLine.size() == 2) {
        return input;
    }
    QByteArray json;
    if (commandLine[2] == QStringLiteral("-")) {
        QFile standardInput;
        if (!standardInput.open(stdin, QIODevice::ReadOnly)) {
            *problem = QStringLiteral("Cannot read standard input: ") + standardInput.errorString();
            return std::nullopt;
        }
        json = standardInput.readAll();
    } else {
        json = commandLine[2].toUtf8();
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *problem = QStringLiteral("The arguments must be one JSON object.");
        return std::nullopt;
    }
    input.arguments = argumentsFromJson(document.object());
    return input;
}
