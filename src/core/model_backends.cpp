#include "core/model_backends.h"

#include "core/local_model_setup.h"
#include "core/provider_settings.h"
#include "core/served_models.h"
#include "core/user_defaults.h"
#include "models/cloud_api_service.h"
#include "models/local_llm_service.h"

#include <QPointer>

namespace {

MessageRules messageRulesFor(CloudProviderPreset provider) {
    switch (provider) {
    case CloudProviderPreset::deepseek:
        return MessageRules::deepseek;
    case CloudProviderPreset::gemini:
        return MessageRules::gemini;
    case CloudProviderPreset::doubao:
        return MessageRules::ark;
    case CloudProviderPreset::grok:
    case CloudProviderPreset::chatgpt:
        break;
    }
    return MessageRules::plain;
}

} // namespace

ModelBackends::ModelBackends(std::shared_ptr<UserDefaults> defaults, const QString& ollamaBase,
                             QObject* parent)
    : QObject(parent), m_defaults(std::move(defaults)) {
    m_localService =
        ollamaBase.isEmpty()
            ? new LocalLLMService(this)
            : new LocalLLMService(ollamaBase, LocalLLMService::builtInModelName(), this);

    m_cloudConfig = ProviderSettings::loadActive(*m_defaults);
    m_cloudService =
        new CloudAPIService(m_cloudConfig.baseURL, m_cloudConfig.apiKey, m_cloudConfig.model, this);
    m_cloudService->setMessageRules(messageRulesFor(m_cloudConfig.provider));

    m_localSetup = new LocalModelSetup(this);
    m_localSetup->setOllamaBase(m_localService->ollamaBase());
    connect(m_localSetup, &LocalModelSetup::modelPulled, this,
            [this] { switchBackend(AIBackend::local); });

    startAvailabilityCheck();
}

ModelBackends::~ModelBackends() = default;

AIServiceProtocol* ModelBackends::currentService() const {
    if (m_activeBackend == AIBackend::local) {
        return m_localService;
    }
    return m_cloudService;
}

QString ModelBackends::currentProviderName() const {
    return m_activeBackend == AIBackend::local ? QStringLiteral("Ollama")
                                               : m_cloudConfig.providerText();
}

QString ModelBackends::currentModelName() const {
    return m_activeBackend == AIBackend::local ? m_localService->modelName() : m_cloudConfig.model;
}

void ModelBackends::setServiceAvailable(bool available) {
    if (m_serviceAvailable == available) {
        return;
    }
    m_serviceAvailable = available;
    Q_EMIT serviceAvailableChanged();
}

void ModelBackends::setActiveBackend(AIBackend backend) {
    if (m_activeBackend == backend) {
        return;
    }
    m_activeBackend = backend;
    Q_EMIT activeBackendChanged();
}

// Availability and served models ------------------------------------------------

QCoro::Task<> ModelBackends::checkServiceAvailability() {
    QPointer<ModelBackends> self(this);
    // Probes overlap (a provider switch right after another): only the answer
    // of the latest one counts, whichever arrives first.
    const quint64 request = ++m_probeRequest;
    const AIBackend backend = m_activeBackend;
    bool available = false;
    QStringList served;
    if (backend == AIBackend::local) {
        available = co_await m_localService->checkAvailability();
    } else {
        const Result<QStringList> listing = co_await m_cloudService->listModels();
        available = listing.ok();
        served = available ? ServedModels::choices(listing.value()) : QStringList();
    }
    if (!self || request != m_probeRequest || backend != m_activeBackend) {
        co_return;
    }
    setServiceAvailable(available);
    if (backend == AIBackend::cloud) {
        setServedModels(served);
    }
    if (!m_serviceChecked) {
        m_serviceChecked = true;
        Q_EMIT serviceCheckedChanged();
    }
}

void ModelBackends::startAvailabilityCheck() {
    checkServiceAvailability();
}

void ModelBackends::testConnection() {
    startAvailabilityCheck();
}

void ModelBackends::refreshServedModels() {
    startAvailabilityCheck();
}

void ModelBackends::dropPendingProbes() {
    ++m_probeRequest;
}

void ModelBackends::setServedModels(const QStringList& models) {
    if (m_servedModels != models) {
        m_servedModels = models;
        Q_EMIT servedModelsChanged();
    }
    updateModelOffer();
}

void ModelBackends::updateModelOffer() {
    // A provider that lists nothing (or was not asked yet) is given the benefit of the doubt.
    const bool notOffered =
        !m_servedModels.isEmpty() && !ServedModels::offers(m_servedModels, m_cloudConfig.model);
    if (m_modelNotOffered != notOffered) {
        m_modelNotOffered = notOffered;
        Q_EMIT modelNotOfferedChanged();
    }
}

// Switching --------------------------------------------------------------------------

void ModelBackends::switchBackend(AIBackend backend) {
    if (backend == AIBackend::cloud) {
        // Choosing the cloud ends any local load: its late answer must not
        // switch away, and its error no longer applies.
        m_localSetup->abandonLoads();
    }
    if (backend == m_activeBackend) {
        return;
    }
    if (backend == AIBackend::cloud) {
        setActiveBackend(AIBackend::cloud);
        startAvailabilityCheck();
        return;
    }
    loadLocalModel();
}

QCoro::Task<> ModelBackends::loadLocalModel() {
    QPointer<ModelBackends> self(this);
    const bool loaded = co_await m_localSetup->load();
    if (self && loaded) {
        setActiveBackend(AIBackend::local);
    }
}

void ModelBackends::switchProvider(CloudProviderPreset provider) {
    const auto saved = savedCloudConfigs();
    setCloudConfig(saved.value(provider, defaultConfig(provider)));
    saveCloudConfig();
    startAvailabilityCheck();
}

// The cloud configuration ------------------------------------------------------------

void ModelBackends::setCloudConfig(const CloudConfig& config) {
    if (m_cloudConfig == config) {
        return;
    }
    const bool otherEndpoint =
        m_cloudConfig.provider != config.provider || m_cloudConfig.baseURL != config.baseURL;
    m_cloudConfig = config;
    Q_EMIT cloudConfigChanged();
    if (otherEndpoint) {
        // What the old address listed says nothing about the new one.
        dropPendingProbes();
        setServedModels({});
    }
    updateModelOffer();
}

void ModelBackends::applyCloudConfigToClient() {
    m_cloudService->setBaseURL(m_cloudConfig.baseURL);
    m_cloudService->setApiKey(m_cloudConfig.apiKey);
    m_cloudService->setModel(m_cloudConfig.model);
    m_cloudService->setMessageRules(messageRulesFor(m_cloudConfig.provider));
}

void ModelBackends::saveCloudConfig() {
    applyCloudConfigToClient();
    Q_EMIT settingsSaved(ProviderSettings::save(*m_defaults, m_cloudConfig));
}

void ModelBackends::useCloudConfigWithoutSaving(const CloudConfig& config) {
    setCloudConfig(config);
    applyCloudConfigToClient();
}

QMap<CloudProviderPreset, CloudConfig> ModelBackends::savedCloudConfigs() const {
    return ProviderSettings::loadSavedConfigs(*m_defaults);
}

// The settings fields save on every change, so the client holds what is typed.
void ModelBackends::setCloudApiKey(const QString& key) {
    CloudConfig config = m_cloudConfig;
    config.apiKey = key;
    setCloudConfig(config);
    saveCloudConfig();
}

void ModelBackends::setCloudModel(const QString& model) {
    CloudConfig config = m_cloudConfig;
    config.model = model;
    setCloudConfig(config);
    saveCloudConfig();
}

void ModelBackends::setCloudBaseURL(const QString& baseURL) {
    CloudConfig config = m_cloudConfig;
    config.baseURL = baseURL;
    setCloudConfig(config);
    saveCloudConfig();
}
