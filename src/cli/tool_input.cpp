#include "cli/tool_input.h"

#include "tools/tool_arguments.h"
#include "tools/tool_table.h"

#include <QCommandLineParser>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

std::optional<ToolArguments> readArguments(const QString& argument, QString* problem) {
    QByteArray json;
    if (argument == QStringLiteral("-")) {
        QFile standardInput;
        if (!standardInput.open(stdin, QIODevice::ReadOnly)) {
            *problem = QStringLiteral("Cannot read standard input: ") + standardInput.errorString();
            return std::nullopt;
        }
        json = standardInput.readAll();
    } else {
        json = argument.toUtf8();
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *problem = QStringLiteral("The arguments must be one JSON object.");
        return std::nullopt;
    }
    return argumentsFromJson(document.object());
}

} // namespace

QString toolVersion() {
    return QStringLiteral("emberglass-tool " EMBERGLASS_VERSION "\n");
}

QString toolUsage() {
    QString tools;
    for (const ToolSpec& tool : toolTable()) {
        tools += QStringLiteral("  ") + tool.name.leftJustified(19) + QStringLiteral("  ") +
                 tool.description + QLatin1Char('\n');
    }
    return QStringLiteral("Usage: emberglass-tool NAME [JSON-OBJECT-OF-ARGUMENTS | -]\n"
                          "Runs one agent tool and prints its outcome as JSON. With -, the JSON "
                          "object\nis read from standard input.\n"
                          "Example: emberglass-tool list_directory '{\"path\":\"~\"}'\n\n"
                          "Options:\n"
                          "  -h, --help           show this text\n"
                          "  --version            show the version\n\n"
                          "Tools:\n") +
           tools;
}

std::optional<ToolCommand> readToolCommand(const QStringList& commandLine, QString* problem) {
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version(QStringLiteral("version"), {});
    parser.addOptions({help, version});
    if (!parser.parse(commandLine)) {
        const QStringList unknown = parser.unknownOptionNames();
        *problem = unknown.isEmpty()
                       ? parser.errorText()
                       : QStringLiteral("Unknown option: ") +
                             (unknown[0].size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) +
                             unknown[0];
        return std::nullopt;
    }
    ToolCommand command;
    if (parser.isSet(help)) {
        command.action = ToolCommand::Action::help;
        return command;
    }
    if (parser.isSet(version)) {
        command.action = ToolCommand::Action::version;
        return command;
    }
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty() || words.size() > 2) {
        *problem = QStringLiteral("Expected a tool name and at most one JSON object.");
        return std::nullopt;
    }
    command.input.tool = words[0];
    if (words.size() == 2) {
        const std::optional<ToolArguments> arguments = readArguments(words[1], problem);
        if (!arguments) {
            return std::nullopt;
        }
        command.input.arguments = *arguments;
    }
    return command;
}
