#include "inspector_test_support.h"

#include "core/chat_view_model.h"
#include "core/local_model_setup.h"
#include "core/model_backends.h"
#include "models/cloud_api_service.h"
#include "persona/persona_manager.h"
#include "scene_harness.h"
#include "support/fake_http_server.h"
#include "support/full_disk.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QUuid>

namespace {

// The controller of the harness the test runner made.
ChatViewModel& viewModel() {
    return *SceneHarness::instance()->viewModel();
}

const QString modelsPath = QStringLiteral("/v1/models");

} // namespace

InspectorTestSupport::InspectorTestSupport(QObject* parent)
    : QObject(parent), m_provider(std::make_unique<FakeOpenAIServer>()) {
    answerProviderProbes(true);
}

InspectorTestSupport::~InspectorTestSupport() {
    finishPull();
}

QVariant InspectorTestSupport::readFile(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

bool InspectorTestSupport::writeFile(const QString& path, const QString& text) const {
    QFile file(path);
    const QByteArray bytes = text.toUtf8();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

void InspectorTestSupport::clearMemoryFiles() const {
    PersonaManager* persona = viewModel().persona();
    QDir directory(persona->memoryDirectory());
    for (const QString& name : directory.entryList(QDir::Files | QDir::Hidden)) {
        directory.remove(name);
    }
    persona->loadMemoryFiles();
}

void InspectorTestSupport::setDiskFull(bool full) {
    m_fullDisk.reset(); // room again
    if (full) {
        m_fullDisk = std::make_unique<FullDisk>(DiskFault::sizeLimit, m_dir.path());
        m_fullDisk->engage();
    }
}

QString InspectorTestSupport::cloudClientApiKey() const {
    return viewModel().backends()->cloudService()->apiKey();
}

QString InspectorTestSupport::cloudClientBaseURL() const {
    return viewModel().backends()->cloudService()->baseURL();
}

QString InspectorTestSupport::cloudClientModel() const {
    return viewModel().backends()->cloudService()->model();
}

QString InspectorTestSupport::providerBaseUrl() const {
    return m_provider->baseUrl();
}

void InspectorTestSupport::answerProviderProbes(bool reachable) {
    m_provider->setStandingResponse(
        "GET", modelsPath,
        reachable ? FakeResponse::json(200, {{QStringLiteral("data"), QJsonArray{}}})
                  : FakeResponse::text(401, "invalid key"));
}

void InspectorTestSupport::listProviderModels(const QStringList& ids) {
    QJsonArray data;
    for (const QString& id : ids) {
        data.append(QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("object"), "model"}});
    }
    m_provider->setStandingResponse("GET", modelsPath,
                                    FakeResponse::json(200, {{QStringLiteral("data"), data}}));
}

int InspectorTestSupport::providerProbeCount() const {
    int count = 0;
    for (const RecordedRequest& request : m_provider->requests()) {
        count += request.path == modelsPath ? 1 : 0;
    }
    return count;
}

QString InspectorTestSupport::lastProviderAuthorization() const {
    return QString::fromUtf8(m_provider->lastRequest().header("authorization"));
}

void InspectorTestSupport::prepareHeldPull(const QString& output, int exitStatus) {
    finishPull();
    m_gate = m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128));
    // The stand-in reads these from the environment the download inherits.
    qputenv("FAKE_OLLAMA_OUTPUT", output.toUtf8());
    qputenv("FAKE_OLLAMA_GATE", m_gate.toUtf8());
    qputenv("FAKE_OLLAMA_FINAL", "");
    qputenv("FAKE_OLLAMA_EXIT", QByteArray::number(exitStatus));
    viewModel().localModelSetup()->setExecutableCandidates({QStringLiteral(EMBERGLASS_FAKE_OLLAMA)},
                                                           false);
}

void InspectorTestSupport::finishPull() {
    if (!m_gate.isEmpty()) {
        QFile gate(m_gate);
        gate.open(QIODevice::WriteOnly);
        m_gate.clear();
    }
}
