#include "server_fixture.h"

#include <QUrl>
#include <QUrlQuery>

ServerFixture::ServerFixture() {
    QObject::connect(&server, &LocalServer::statusChanged,
                     [this](bool running, std::optional<QString> url) {
                         statusReports.append({running, url});
                     });
    QObject::connect(&server, &LocalServer::webUserMessage,
                     [this](const QString& text) { events.append("user:" + text); });
    QObject::connect(&server, &LocalServer::webAssistantToken,
                     [this](const QString& piece) { events.append("token:" + piece); });
    QObject::connect(&server, &LocalServer::webAssistantDone,
                     [this] { events.append(QStringLiteral("done")); });
    replies.prompt = [this] { return systemPrompt; };
    replies.reply = [this](WireMessages messages) -> TextPieceStream* {
        modelRequests.append(messages);
        return provideStreams ? playScript(script) : nullptr;
    };
    server.setReplySource(&replies);
}

bool ServerFixture::start() {
    server.start();
    if (statusReports.isEmpty() || !statusReports.last().first || !statusReports.last().second) {
        return false;
    }
    const QUrl url(*statusReports.last().second);
    port = quint16(url.port());
    key = QUrlQuery(url).queryItemValue(QStringLiteral("key"));
    return port != 0 && !key.isEmpty();
}
