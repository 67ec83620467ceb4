#include "cli/chat_options.h"

#include "core/cloud_config.h"

QString chatUsage() {
    QStringList providers;
    for (CloudProviderPreset provider : allCloudProviders()) {
        providers << toText(provider);
    }
    return QStringLiteral(
               "Usage: emberglass-chat [OPTIONS] [MESSAGE]\n"
               "       emberglass-chat --serve [--local] [--port N]\n"
               "       emberglass-chat --list-models [--provider NAME]\n\n"
               "Chats with the Emberglass agent in a terminal, with the same persona, memory and\n"
               "settings as the desktop app. With a MESSAGE it sends that one message and prints\n"
               "the tool calls, tool results and reply; without one it reads one message per line\n"
               "from standard input (Ctrl-D ends). --serve runs the phone server instead;\n"
               "--list-models prints the models the cloud provider serves, one per line.\n\n"
               "Before the agent runs a command or writes a file outside ~/.nimbrook, it asks\n"
               "on the terminal (/dev/tty): [y]es, [a]lways in this chat (that tool), [N]o.\n"
               "With no terminal such calls are declined, unless --yes is given or the app's\n"
               "setting \"Ask before the agent runs commands or changes files\" is off.\n\n"
               "Options:\n"
               "  --local              answer with the local Ollama model\n"
               "  --provider NAME      cloud provider for this run (%1)\n"
               "  --model M            model name for this run\n"
               "  --base-url URL       API base URL for this run\n"
               "  --api-key-file FILE  read the API key for this run from FILE\n"
               "  --ollama-url URL     the Ollama server for --local (default "
               "http://127.0.0.1:11434)\n"
               "  --json               print every message as one JSON object per line\n"
               "  --serve              run the phone server and print each mirrored exchange\n"
               "  --port N             the phone server's port (default 8080)\n"
               "  --list-models        print the provider's models and exit\n"
               "  --sandbox            run the agent's commands in the sandbox (bubblewrap)\n"
               "  -y, --yes            run commands and change files without asking\n"
               "  -h, --help           show this text\n\n"
               "Overrides apply to this run only; nothing is saved. The preferences of the\n"
               "desktop app's SETTINGS panel hold here too: \"emberglass_command_sandbox\"\n"
               "set to true runs commands in the sandbox, as --sandbox does.\n")
        .arg(providers.join(QStringLiteral(", ")));
}

ChatOptionsParse parseChatOptions(const QStringList& arguments) {
    ChatOptions options;
    QStringList words;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto takeValue = [&](QString& target) {
            if (i + 1 >= arguments.size()) {
                return false;
            }
            target = arguments[++i];
            return true;
        };
        if (argument == QStringLiteral("-h") || argument == QStringLiteral("--help")) {
            return {std::nullopt, {}, true};
        } else if (argument == QStringLiteral("--local")) {
            options.local = true;
        } else if (argument == QStringLiteral("--json")) {
            options.json = true;
        } else if (argument == QStringLiteral("--serve")) {
            options.serve = true;
        } else if (argument == QStringLiteral("--list-models")) {
            options.listModels = true;
        } else if (argument == QStringLiteral("--sandbox")) {
            options.sandbox = true;
        } else if (argument == QStringLiteral("-y") || argument == QStringLiteral("--yes")) {
            options.yes = true;
        } else if (argument == QStringLiteral("--port")) {
            QString text;
            bool ok = false;
            const uint port = takeValue(text) ? text.toUInt(&ok) : 0;
            if (!ok || port == 0 || port > 65535) {
                return {std::nullopt, QStringLiteral("--port needs a number from 1 to 65535.")};
            }
            options.port = static_cast<quint16>(port);
        } else if (argument == QStringLiteral("--provider") ||
                   argument == QStringLiteral("--model") ||
                   argument == QStringLiteral("--base-url") ||
                   argument == QStringLiteral("--api-key-file") ||
                   argument == QStringLiteral("--ollama-url")) {
            QString& target = argument == QStringLiteral("--provider")       ? options.provider
                              : argument == QStringLiteral("--model")        ? options.model
                              : argument == QStringLiteral("--base-url")     ? options.baseURL
                              : argument == QStringLiteral("--api-key-file") ? options.apiKeyFile
                                                                             : options.ollamaUrl;
            if (!takeValue(target)) {
                return {std::nullopt, argument + QStringLiteral(" needs a value.")};
            }
        } else if (argument.startsWith(QStringLiteral("--"))) {
            return {std::nullopt, QStringLiteral("Unknown option: ") + argument};
        } else {
            words << argument;
        }
    }
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
