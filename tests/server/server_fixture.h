#pragma once

#include "function_reply_source.h"
#include "scripted_stream.h"
#include "server/local_server.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>

// A LocalServer on a free port whose signals are recorded and whose model is a script.
struct ServerFixture {
    ServerFixture();

    bool start(); // true when it reports running with an address
    QByteArray chatTarget() const { return "/api/chat?key=" + key.toUtf8(); }
    QByteArray pageTarget() const { return "/?key=" + key.toUtf8(); }

    FunctionReplySource replies; // outlives the server, which asks it
    std::unique_ptr<LocalServer> server = std::make_unique<LocalServer>(0);
    StreamScript script;
    bool provideStreams = true;

    QStringList events; // "user:TEXT", "token:PIECE", "done", in the order they were emitted
    QList<std::pair<bool, std::optional<QString>>> statusReports;
    QList<WireMessages> modelRequests;
    QList<QPointer<TextPieceStream>> streams;

    quint16 port = 0;
    QString key;
};
