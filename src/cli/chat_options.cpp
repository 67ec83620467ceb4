#include "cli/chat_options.h"

#include "core/cloud_config.h"

#include <QCommandLineParser>

#include <vector>

namespace {

// Each option once: the parser and the usage text are made from this table.
struct OptionRow {
    QStringList names;
    const char* value; // nullptr: a switch
    const char* description;
};

const std::vector<OptionRow>& optionRows() {
    static const std::vector<OptionRow> rows{
        {{QStringLiteral("local")}, nullptr, "answer with the local Ollama model"},
        {{QStringLiteral("provider")}, "NAME", "cloud provider for this run (%1)"},
        {{QStringLiteral("model")}, "M", "model name for this run"},
        {{QStringLiteral("base-url")}, "URL", "API base URL for this run"},
        {{QStringLiteral("api-key-file")}, "FILE", "read the API key for this run from FILE"},
        {{QStringLiteral("ollama-url")},
         "URL",
         "the Ollama server for --local (default http://127.0.0.1:11434)"},
        {{QStringLiteral("json")}, nullptr, "print every message as one JSON object per line"},
        {{QStringLiteral("serve")},
         nullptr,
         "run the phone server and print each mirrored exchange"},
        {{QStringLiteral("port")}, "N", "the phone server's port (default 8080)"},
        {{QStringLiteral("list-models")}, nullptr, "print the provider's models and exit"},
        {{QStringLiteral("sandbox")},
         nullptr,
         "run the agent's commands in the sandbox (bubblewrap)"},
        {{QStringLiteral("y"), QStringLiteral("yes")},
         nullptr,
         "run commands and change files without asking"},
        {{QStringLiteral("h"), QStringLiteral("help")}, nullptr, "show this text"},
        {{QStringLiteral("version")}, nullptr, "show the version"},
    };
    return rows;
}

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

const OptionRow* findRow(const QString& name) {
    for (const OptionRow& row : optionRows()) {
        if (row.names.contains(name)) {
            return &row;
        }
    }
    return nullptr;
}

QString optionLines() {
    QString lines;
    for (const OptionRow& row : optionRows()) {
        QStringList names;
        for (const QString& name : row.names) {
            names << dashed(name);
        }
        QString head = names.join(QStringLiteral(", "));
        if (row.value) {
            head += QLatin1Char(' ') + QLatin1String(row.value);
        }
        lines += QStringLiteral("  ") + head.leftJustified(19) + QStringLiteral("  ") +
                 QLatin1String(row.description) + QLatin1Char('\n');
    }
    return lines;
}

// The parser's own texts name options in its words; these keep the ones users
// and scripts already know.
QString parseError(const QCommandLineParser& parser, const QStringList& arguments) {
    if (!parser.unknownOptionNames().isEmpty()) {
        return QStringLiteral("Unknown option: ") +
               dashed(parser.unknownOptionNames().constFirst());
    }
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QStringLiteral("--")) {
            break;
        }
        if (!argument.startsWith(QStringLiteral("--")) || !argument.contains(QLatin1Char('='))) {
            continue;
        }
        const QString name = argument.section(QLatin1Char('='), 0, 0).mid(2);
        if (const OptionRow* row = findRow(name); row && !row->value) {
            return dashed(name) + QStringLiteral(" takes no value.");
        }
    }
    const QString last = arguments.constLast();
    if (last == QStringLiteral("--port")) {
        return QStringLiteral("--port needs a number from 1 to 65535.");
    }
    if (const OptionRow* row = findRow(last.mid(2)); row && row->value) {
        return last + QStringLiteral(" needs a value.");
    }
    return parser.errorText();
}

} // namespace

QString chatVersion() {
    return QStringLiteral("emberglass-chat " EMBERGLASS_VERSION "\n");
}

QString chatUsage() {
    QStringList providers;
    for (CloudProviderPreset provider : allCloudProviders()) {
        providers << toText(provider);
    }
    return (QStringLiteral(
                "Usage: emberglass-chat [OPTIONS] [MESSAGE]\n"
                "       emberglass-chat --serve [--local] [--port N]\n"
                "       emberglass-chat --list-models [--provider NAME]\n\n"
                "Chats with the Emberglass agent in a terminal, with the same persona, memory and\n"
                "settings as the desktop app. With a MESSAGE it sends that one message and prints\n"
                "the tool calls, tool results and reply; without one it reads one message per "
                "line\n"
                "from standard input (Ctrl-D ends). --serve runs the phone server instead;\n"
                "--list-models prints the models the cloud provider serves, one per line.\n\n"
                "Before the agent runs a command or writes a file outside ~/.nimbrook, it asks\n"
                "on the terminal (/dev/tty): [y]es, [a]lways in this chat (that tool), [N]o.\n"
                "Only a line typed after the question answers it; lines typed before it are\n"
                "sent as the next messages when messages come from that terminal.\n"
                "With no terminal such calls are declined, unless --yes is given or the app's\n"
                "setting \"Ask before the agent runs commands or changes files\" is off.\n\n"
                "Options (a value as --opt VALUE or --opt=VALUE; -- ends the options):\n") +
            optionLines() +
            QStringLiteral(
                "\nOverrides apply to this run only; nothing is saved. The preferences of the\n"
                "desktop app's SETTINGS panel hold here too: \"emberglass_command_sandbox\"\n"
                "set to true runs commands in the sandbox, as --sandbox does.\n"))
        .arg(providers.join(QStringLiteral(", ")));
}

ChatOptionsParse parseChatOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    for (const OptionRow& row : optionRows()) {
        QCommandLineOption option(row.names, QString::fromUtf8(row.description));
        if (row.value) {
            option.setValueName(QString::fromUtf8(row.value));
        }
        parser.addOption(option);
    }
    if (!parser.parse(arguments)) {
        return {std::nullopt, parseError(parser, arguments)};
    }
    if (parser.isSet(QStringLiteral("help"))) {
        return {std::nullopt, {}, true};
    }
    if (parser.isSet(QStringLiteral("version"))) {
        return {std::nullopt, {}, false, true};
    }
    ChatOptions options;
    options.local = parser.isSet(QStringLiteral("local"));
    options.json = parser.isSet(QStringLiteral("json"));
    options.serve = parser.isSet(QStringLiteral("serve"));
    options.listModels = parser.isSet(QStringLiteral("list-models"));
    options.sandbox = parser.isSet(QStringLiteral("sandbox"));
    options.yes = parser.isSet(QStringLiteral("yes"));
    options.provider = parser.value(QStringLiteral("provider"));
    options.model = parser.value(QStringLiteral("model"));
    options.baseURL = parser.value(QStringLiteral("base-url"));
    options.apiKeyFile = parser.value(QStringLiteral("api-key-file"));
    options.ollamaUrl = parser.value(QStringLiteral("ollama-url"));
    if (parser.isSet(QStringLiteral("port"))) {
        bool ok = false;
        const uint port = parser.value(QStringLiteral("port")).toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            return {std::nullopt, QStringLiteral("--port needs a number from 1 to 65535.")};
        }
        options.port = static_cast<quint16>(port);
    }
    const QStringList words = parser.positionalArguments();
    if (!options.provider.isEmpty() && !cloudProviderFromText(options.provider)) {
        return {std::nullopt, QStringLiteral("Unknown provider: ") + options.provider};
    }
    if (options.serve && !words.isEmpty()) {
        return {std::nullopt, QStringLiteral("--serve takes no message.")};
    }
    if (options.listModels && (options.serve || options.local || !words.isEmpty())) {
        return {std::nullopt,
                QStringLiteral("--list-models lists the cloud provider's models; it takes no "
                               "message, --serve or --local.")};
    }
    options.message = words.join(QLatin1Char(' '));
    return {options, {}};
}
