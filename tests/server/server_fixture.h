#pragma once

#include "function_reply_source.h"
#include "scripted_stream.h"
#include "server/local_server.h"
#include "support/raw_http_client.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <memory>
#include <optional>

// A LocalServer on a free port whose signals are recorded and whose model is a script.
struct ServerFixture {
    ServerFixture() {
        QObject::connect(server.get(), &LocalServer::statusChanged,
                         [this](bool running, std::optional<QString> url) {
                             statusReports.append({running, url});
                         });
        QObject::connect(server.get(), &LocalServer::webUserMessage,
                         [this](const QString& text) { events.append("user:" + text); });
        QObject::connect(server.get(), &LocalServer::webAssistantToken,
                         [this](const QString& piece) { events.append("token:" + piece); });
        QObject::connect(server.get(), &LocalServer::webAssistantDone,
                         [this] { events.append(QStringLiteral("done")); });
        replies.reply = [this](WireMessages messages) -> TextPieceStream* {
            modelRequests.append(messages);
            return provideStreams ? streams.emplace_back(playScript(script)).data() : nullptr;
        };
        server->setReplySource(&replies);
    }

    // True when it reports running with an address.
    bool start() {
        server->start();
        if (statusReports.isEmpty() || !statusReports.last().first ||
            !statusReports.last().second) {
            return false;
        }
        const QUrl url(*statusReports.last().second);
        port = quint16(url.port());
        key = QUrlQuery(url).queryItemValue(QStringLiteral("key"));
        return port != 0 && !key.isEmpty();
    }
    QByteArray chatRequest(const QByteArray& text) const {
        return requestBytes("POST", "/api/chat?key=" + key.toUtf8(), port, chatBody(text));
    }

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
