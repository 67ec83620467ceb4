#include "server_fixture.h"

#include <QUrl>
#include <QUrlQuery>

ServerFixture::ServerFixture() {
    server->onStatusChange = [this](bool running, std::optional<QString> url) {
        statusReports.append({running, url});
    };
    server->onWebUserMessage = [this](QString text) { events.append("user:" + text); };
    server->onWebAssistantToken = [this](QString piece) { events.append("token:" + piece); };
    server->onWebAssistantDone = [this] { events.append(QStringLiteral("done")); };
    server->streamingServiceProvider = [this](WireMessages messages) -> TextPieceStream* {
        modelRequests.append(messages);
        return provideStreams ? streams.emplace_back(playScript(script)).data() : nullptr;
    };
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
