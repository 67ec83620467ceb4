#include "server_fixture.h"

#include <QUrl>
#include <QUrlQuery>

ServerFixture::ServerFixture() {
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

bool ServerFixture::start() {
    server->start();
    if (statusReports.isEmpty() || !statusReports.last().first || !statusReports.last().second) {
        return false;
    }
    const QUrl url(*statusReports.last().second);
    port = quint16(url.port());
    key = QUrlQuery(url).queryItemValue(QStringLiteral("key"));
    return port != 0 && !key.isEmpty();
}
