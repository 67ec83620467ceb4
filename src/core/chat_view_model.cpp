#include "core/chat_view_model.h"

#include "core/conversation_list_model.h"
#include "core/conversation_store.h"
#include "core/greeting.h"
#include "core/local_model_setup.h"
#include "core/message_list_model.h"
#include "core/provider_settings.h"
#include "core/served_models.h"
#include "core/tool_loop.h"
#include "core/tool_runner.h"
#include "core/user_defaults.h"
#include "core/web_bridge.h"
#include "models/cloud_api_service.h"
#include "models/local_llm_service.h"
#include "persona/persona_manager.h"

#include <QPointer>

ChatViewModel::ChatViewModel(QObject* parent) : ChatViewModel(ChatViewModelOptions{}, parent) {}

ChatViewModel::ChatViewModel(const ChatViewModelOptions& options, QObject* parent)
    : QObject(parent) {
    m_persona = options.personaDirectory.isEmpty()
                    ? new PersonaManager(this)
                    : new PersonaManager(options.personaDirectory, this);
    m_localService =
        options.ollamaBase.isEmpty()
            ? new LocalLLMService(this)
            : new LocalLLMService(options.ollamaBase, LocalLLMService::builtInModelName(), this);
    m_tools = new ToolRunner(this);

    m_userDefaults = options.settingsFile.isEmpty()
                         ? std::make_unique<UserDefaults>()
                         : std::make_unique<UserDefaults>(options.settingsFile);
    m_cloudConfig = ProviderSettings::loadActive(*m_userDefaults);
    m_cloudService =
        new CloudAPIService(m_cloudConfig.baseURL, m_cloudConfig.apiKey, m_cloudConfig.model, this);

    m_store = new ConversationStore(this);
    m_conversationList = new ConversationListModel(m_store, this);
    m_messages = new MessageListModel(m_store, this);
    connect(m_store, &ConversationStore::currentConversationIdChanged, this,
            &ChatViewModel::currentConversationIdChanged);

    m_toolLoop = new ToolLoop(
        m_store, m_persona, m_tools,
        [this] {
            return ToolLoop::Backend{currentService(), m_activeBackend == AIBackend::local
                                                           ? WireMode::text
                                                           : WireMode::native};
        },
        this);

    m_localSetup = new LocalModelSetup(this);
    m_localSetup->setOllamaBase(m_localService->ollamaBase());
    connect(m_localSetup, &LocalModelSetup::isLoadingModelChanged, this,
            &ChatViewModel::isLoadingModelChanged);
    connect(m_localSetup, &LocalModelSetup::modelLoadErrorChanged, this,
            &ChatViewModel::modelLoadErrorChanged);
    connect(m_localSetup, &LocalModelSetup::ollamaPullProgressChanged, this,
            &ChatViewModel::ollamaPullProgressChanged);
    connect(m_localSetup, &LocalModelSetup::isPullingModelChanged, this,
            &ChatViewModel::isPullingModelChanged);
    connect(m_localSetup, &LocalModelSetup::modelPulled, this,
            [this] { switchBackend(AIBackend::local); });

    m_webBridge = new WebBridge(m_store, m_persona, options.serverPort, this);
    connect(m_webBridge, &WebBridge::statusChanged, this, &ChatViewModel::setServerState);

    newConversation(true);
    startAvailabilityCheck();
}

ChatViewModel::~ChatViewModel() = default;

// Conversations ----------------------------------------------------------------

std::optional<QUuid> ChatViewModel::currentConversationId() const {
    return m_store->currentConversationId();
}

void ChatViewModel::setCurrentConversationId(std::optional<QUuid> id) {
    m_store->setCurrentConversationId(id);
}

const Conversation* ChatViewModel::currentConversation() const {
    return m_store->currentConversation();
}

QString ChatViewModel::currentConversationIdText() const {
    const auto id = currentConversationId();
    return id ? id->toString(QUuid::WithoutBraces) : QString();
}

void ChatViewModel::setCurrentConversationIdText(const QString& id) {
    const QUuid uuid = QUuid::fromString(id);
    setCurrentConversationId(uuid.isNull() ? std::nullopt : std::optional(uuid));
}

void ChatViewModel::newConversation(bool withGreeting) {
    Conversation conversation = Conversation::make(QStringLiteral("New Chat"));
    if (withGreeting) {
        conversation.messages.append(
            ChatMessage::make(Role::assistant, greetingFor(m_persona->agentName())));
    }
    m_store->insertAndSelect(std::move(conversation));
}

void ChatViewModel::deleteConversation(const QUuid& id) {
    // A running loop on this conversation finds it gone at its next look-up.
    m_store->deleteConversation(id);
    if (m_store->conversations().isEmpty()) {
        newConversation(false);
    }
}

void ChatViewModel::deleteConversation(const QString& id) {
    deleteConversation(QUuid::fromString(id));
}

// Sending ----------------------------------------------------------------------

void ChatViewModel::setInputText(const QString& text) {
    if (m_inputText == text) {
        return;
    }
    m_inputText = text;
    Q_EMIT inputTextChanged();
}

void ChatViewModel::setIsGenerating(bool generating) {
    if (m_isGenerating == generating) {
        return;
    }
    m_isGenerating = generating;
    Q_EMIT isGeneratingChanged();
}

void ChatViewModel::sendMessage() {
    const QString text = m_inputText.trimmed();
    const auto conversationId = currentConversationId();
    if (text.isEmpty() || m_isGenerating || currentConversation() == nullptr) {
        return;
    }
    m_store->appendMessage(*conversationId, ChatMessage::make(Role::user, text));
    m_store->touch(*conversationId);
    m_store->nameAfterFirstUserMessage(*conversationId, text);
    setInputText(QString());
    setIsGenerating(true);

    const QString systemPrompt = m_persona->systemPrompt();
    auto cancellation = std::make_shared<RequestCancellation>();
    m_streamTask = cancellation;
    generate(*conversationId, systemPrompt, cancellation);
}

QCoro::Task<> ChatViewModel::generate(QUuid conversationId, QString systemPrompt,
                                      std::shared_ptr<RequestCancellation> cancellation) {
    QPointer<ChatViewModel> self(this);
    try {
        co_await m_toolLoop->runGeneration(conversationId, systemPrompt, cancellation);
    } catch (...) {
        // Nothing the loop does throws on purpose; the flag below must still be cleared.
    }
    // A loop that was stopped, or overtaken by a newer one, leaves the flag alone.
    if (self && m_streamTask == cancellation) {
        m_streamTask.reset();
        setIsGenerating(false);
    }
}

void ChatViewModel::stopGeneration() {
    if (m_streamTask) {
        m_streamTask->cancel();
        m_streamTask.reset();
    }
    setIsGenerating(false);
}

// Panels -----------------------------------------------------------------------

void ChatViewModel::setInspectorPanel(std::optional<InspectorSidebarPanel> panel) {
    if (m_inspectorPanel == panel) {
        return;
    }
    m_inspectorPanel = panel;
    Q_EMIT inspectorPanelChanged();
}

void ChatViewModel::togglePanel(InspectorSidebarPanel panel) {
    setInspectorPanel(m_inspectorPanel == panel ? std::nullopt : std::optional(panel));
}

void ChatViewModel::togglePanel(const QString& panel) {
    if (const auto value = inspectorPanelFromText(panel)) {
        togglePanel(*value);
    }
}

QString ChatViewModel::inspectorPanelText() const {
    return m_inspectorPanel ? toText(*m_inspectorPanel) : QString();
}

void ChatViewModel::setInspectorPanelText(const QString& panel) {
    setInspectorPanel(inspectorPanelFromText(panel));
}

// Backends and providers -------------------------------------------------------

AIServiceProtocol* ChatViewModel::currentService() const {
    if (m_activeBackend == AIBackend::local) {
        return m_localService;
    }
    return m_cloudService;
}

void ChatViewModel::setServiceAvailable(bool available) {
    if (m_serviceAvailable == available) {
        return;
    }
    m_serviceAvailable = available;
    Q_EMIT serviceAvailableChanged();
}

void ChatViewModel::setActiveBackend(AIBackend backend) {
    if (m_activeBackend == backend) {
        return;
    }
    m_activeBackend = backend;
    Q_EMIT activeBackendChanged();
}

QCoro::Task<> ChatViewModel::checkServiceAvailability() {
    QPointer<ChatViewModel> self(this);
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

void ChatViewModel::startAvailabilityCheck() {
    checkServiceAvailability();
}

void ChatViewModel::testConnection() {
    startAvailabilityCheck();
}

void ChatViewModel::refreshServedModels() {
    startAvailabilityCheck();
}

void ChatViewModel::dropPendingProbes() {
    ++m_probeRequest;
}

void ChatViewModel::setServedModels(const QStringList& models) {
    if (m_servedModels != models) {
        m_servedModels = models;
        Q_EMIT servedModelsChanged();
    }
    updateModelOffer();
}

void ChatViewModel::updateModelOffer() {
    // A provider that lists nothing (or was not asked yet) is given the benefit of the doubt.
    const bool notOffered =
        !m_servedModels.isEmpty() && !ServedModels::offers(m_servedModels, m_cloudConfig.model);
    if (m_modelNotOffered != notOffered) {
        m_modelNotOffered = notOffered;
        Q_EMIT modelNotOfferedChanged();
    }
}

void ChatViewModel::switchBackend(AIBackend backend) {
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

void ChatViewModel::switchBackend(const QString& backend) {
    if (const auto value = aiBackendFromText(backend)) {
        switchBackend(*value);
    }
}

QCoro::Task<> ChatViewModel::loadLocalModel() {
    QPointer<ChatViewModel> self(this);
    const bool loaded = co_await m_localSetup->load();
    if (self && loaded) {
        setActiveBackend(AIBackend::local);
    }
}

void ChatViewModel::setCloudConfig(const CloudConfig& config) {
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

void ChatViewModel::applyCloudConfigToClient() {
    m_cloudService->setBaseURL(m_cloudConfig.baseURL);
    m_cloudService->setApiKey(m_cloudConfig.apiKey);
    m_cloudService->setModel(m_cloudConfig.model);
}

void ChatViewModel::saveCloudConfig() {
    applyCloudConfigToClient();
    noteSettingsSave(ProviderSettings::save(*m_userDefaults, m_cloudConfig));
}

void ChatViewModel::useCloudConfigWithoutSaving(const CloudConfig& config) {
    setCloudConfig(config);
    applyCloudConfigToClient();
}

QMap<CloudProviderPreset, CloudConfig> ChatViewModel::savedCloudConfigs() const {
    return ProviderSettings::loadSavedConfigs(*m_userDefaults);
}

void ChatViewModel::switchProvider(CloudProviderPreset provider) {
    const auto saved = savedCloudConfigs();
    setCloudConfig(saved.value(provider, defaultConfig(provider)));
    saveCloudConfig();
    startAvailabilityCheck();
}

void ChatViewModel::switchProvider(const QString& provider) {
    if (const auto value = cloudProviderFromText(provider)) {
        switchProvider(*value);
    }
}

// The settings fields save on every change, so the client holds what is typed.
void ChatViewModel::setCloudApiKey(const QString& key) {
    CloudConfig config = m_cloudConfig;
    config.apiKey = key;
    setCloudConfig(config);
    saveCloudConfig();
}

void ChatViewModel::setCloudModel(const QString& model) {
    CloudConfig config = m_cloudConfig;
    config.model = model;
    setCloudConfig(config);
    saveCloudConfig();
}

void ChatViewModel::setCloudBaseURL(const QString& baseURL) {
    CloudConfig config = m_cloudConfig;
    config.baseURL = baseURL;
    setCloudConfig(config);
    saveCloudConfig();
}

// The local model ----------------------------------------------------------------

bool ChatViewModel::isLoadingModel() const {
    return m_localSetup->isLoadingModel();
}
QString ChatViewModel::modelLoadError() const {
    return m_localSetup->modelLoadError();
}
QString ChatViewModel::ollamaPullProgress() const {
    return m_localSetup->ollamaPullProgress();
}
bool ChatViewModel::isPullingModel() const {
    return m_localSetup->isPullingModel();
}
void ChatViewModel::pullModel() {
    m_localSetup->pull();
}

// The phone server ---------------------------------------------------------------

void ChatViewModel::toggleServer() {
    if (m_isServerRunning) {
        m_webBridge->stopServer();
    } else {
        m_webBridge->startServer(currentService());
    }
}

void ChatViewModel::setServerState(bool running, std::optional<QString> url) {
    if (m_isServerRunning != running) {
        m_isServerRunning = running;
        Q_EMIT isServerRunningChanged();
    }
    if (m_serverURL != url) {
        m_serverURL = url;
        Q_EMIT serverURLChanged();
    }
}

// Settings -------------------------------------------------------------------------

bool ChatViewModel::hasCompletedOnboarding() const {
    return m_userDefaults->value(UserDefaults::onboardingKey).toBool();
}

void ChatViewModel::setHasCompletedOnboarding(bool completed) {
    if (hasCompletedOnboarding() == completed) {
        return;
    }
    noteSettingsSave(m_userDefaults->setValue(UserDefaults::onboardingKey, completed));
    Q_EMIT hasCompletedOnboardingChanged();
}

void ChatViewModel::noteSettingsSave(const WriteResult& result) {
    const QString error = result.description();
    if (error != m_settingsSaveError) {
        m_settingsSaveError = error;
        Q_EMIT settingsSaveErrorChanged();
    }
}
