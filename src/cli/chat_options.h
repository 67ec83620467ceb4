#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line of emberglass-chat.
struct ChatOptions {
    bool local = false;
    bool json = false;
    bool serve = false;
    bool listModels = false;
    bool sandbox = false; // commands in the sandbox for this run
    bool yes = false;     // run commands and change files without asking
    quint16 port = 8080;
    QString provider;
    QString model;
    QString baseURL;
    QString apiKeyFile;
    QString ollamaUrl; // empty: the local Ollama server
    QString message;   // empty: read messages from standard input
};

// The options, or an error text for the user.
struct ChatOptionsParse {
    std::optional<ChatOptions> options;
    QString error;
    bool helpRequested = false;
    bool versionRequested = false;
};

// Options take their value as `--opt value` or `--opt=value`; `--` ends the
// options, for a message that starts with a dash.
ChatOptionsParse parseChatOptions(const QStringList& arguments);
QString chatUsage();
QString chatVersion();
