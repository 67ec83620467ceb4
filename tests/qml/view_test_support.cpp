#include "view_test_support.h"

#include "core/chat_view_model.h"
#include "core/local_model_setup.h"
#include "scene_harness.h"
#include "support/fake_http_server.h"
#include "support/full_disk.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

namespace {

const QString modelsPath = QStringLiteral("/v1/models");

} // namespace

ViewTestSupport::ViewTestSupport(QObject* parent)
    : QObject(parent), m_provider(std::make_unique<FakeOpenAIServer>()) {
    listProviderModels({});
}

ViewTestSupport::~ViewTestSupport() = default;

QVariant ViewTestSupport::readFile(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

void ViewTestSupport::setDiskFull(bool full) {
    m_fullDisk.reset(); // room again
    if (full) {
        m_fullDisk = std::make_unique<FullDisk>(DiskFault::sizeLimit, m_dir.path());
        m_fullDisk->engage();
    }
}

QString ViewTestSupport::providerBaseUrl() const {
    return m_provider->baseUrl();
}

void ViewTestSupport::listProviderModels(const QStringList& ids) {
    QJsonArray data;
    for (const QString& id : ids) {
        data.append(QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("object"), "model"}});
    }
    m_provider->setStandingResponse("GET", modelsPath,
                                    FakeResponse::json(200, {{QStringLiteral("data"), data}}));
}

int ViewTestSupport::providerProbeCount() const {
    const QList<RecordedRequest> requests = m_provider->requests();
    return int(std::count_if(requests.begin(), requests.end(),
                             [](const RecordedRequest& r) { return r.path == modelsPath; }));
}

void ViewTestSupport::hideOllama() {
    SceneHarness::instance()->viewModel()->localModelSetup()->setExecutableCandidates(
        {m_dir.filePath(QStringLiteral("no-ollama"))}, false);
}
