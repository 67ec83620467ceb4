#pragma once

#include "function_reply_source.h"
#include "scripted_stream.h"
#include "server/local_server.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A LocalServer on a free port whose signals are recorded and whose model is a script.
struct ServerFixture {
    ServerFixture();

    bool start(); // true when it reports running with an address
    QByteArray chatTarget() const { return "/api/chat?key=" + key.toUtf8(); }
    QByteArray pageTarget() const { return "/?key=" + key.toUtf8(); }

    FunctionReplySource replies;
    LocalServer server{0};
    StreamScript script;
    QString systemPrompt;
    bool provideStreams = true;

    // "user:TEXT", "token:PIECE", "done", in the order they were emitted.
    QStringList events;
    QList<std::pair<bool, std::optional<QString>>> statusReports;
    QList<WireMessages> modelRequests;

    quint16 port = 0;
    QString key;
};
