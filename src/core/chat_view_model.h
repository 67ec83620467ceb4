#pragma once

#include "core/ai_backend.h"
#include "core/cloud_config.h"
#include "core/inspector_panel.h"

#include <QCoroTask>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <memory>
#include <optional>

class AIServiceProtocol;
class CloudAPIService;
class ConversationListModel;
class ConversationStore;
class LocalLLMService;
class LocalModelSetup;
class MessageListModel;
class PersonaManager;
class RequestCancellation;
class ToolLoop;
class ToolRunner;
class UserDefaults;
class WebBridge;
class WriteResult;
struct Conversation;

// Where a controller keeps its state; the defaults are the application's own.
struct ChatViewModelOptions {
    QString personaDirectory;  // empty: ~/.nimbrook
    QString settingsFile;      // empty: the application's settings file
    QString ollamaBase;        // empty: the local Ollama server
    quint16 serverPort = 8080; // the phone server
};

// The one controller the views see. It holds the state every screen shows and
// forwards the user's actions to the collaborators that do the work: the
// conversation store, the provider settings, the tool loop, the local-model
// setup and the phone bridge.
class ChatViewModel : public QObject {
    Q_OBJECT
    Q_MOC_INCLUDE("core/conversation_list_model.h")
    Q_MOC_INCLUDE("core/message_list_model.h")
    Q_MOC_INCLUDE("persona/persona_manager.h")
    Q_PROPERTY(ConversationListModel* conversations READ conversationList CONSTANT)
    Q_PROPERTY(MessageListModel* messages READ messages CONSTANT)
    Q_PROPERTY(QString currentConversationId READ currentConversationIdText WRITE
                   setCurrentConversationIdText NOTIFY currentConversationIdChanged)
    Q_PROPERTY(QString inputText READ inputText WRITE setInputText NOTIFY inputTextChanged)
    Q_PROPERTY(bool isGenerating READ isGenerating NOTIFY isGeneratingChanged)
    Q_PROPERTY(bool serviceAvailable READ serviceAvailable NOTIFY serviceAvailableChanged)
    Q_PROPERTY(bool serviceChecked READ serviceChecked NOTIFY serviceCheckedChanged)
    Q_PROPERTY(bool isServerRunning READ isServerRunning NOTIFY isServerRunningChanged)
    Q_PROPERTY(QString serverURL READ serverURLText NOTIFY serverURLChanged)
    Q_PROPERTY(QString inspectorPanel READ inspectorPanelText WRITE setInspectorPanelText NOTIFY
                   inspectorPanelChanged)
    Q_PROPERTY(QString activeBackend READ activeBackendText NOTIFY activeBackendChanged)
    Q_PROPERTY(bool isLoadingModel READ isLoadingModel NOTIFY isLoadingModelChanged)
    Q_PROPERTY(QString modelLoadError READ modelLoadError NOTIFY modelLoadErrorChanged)
    Q_PROPERTY(QString ollamaPullProgress READ ollamaPullProgress NOTIFY ollamaPullProgressChanged)
    Q_PROPERTY(bool isPullingModel READ isPullingModel NOTIFY isPullingModelChanged)
    Q_PROPERTY(
        CloudConfig cloudConfig READ cloudConfig WRITE setCloudConfig NOTIFY cloudConfigChanged)
    Q_PROPERTY(QStringList servedModels READ servedModels NOTIFY servedModelsChanged)
    Q_PROPERTY(bool modelNotOffered READ modelNotOffered NOTIFY modelNotOfferedChanged)
    Q_PROPERTY(PersonaManager* persona READ persona CONSTANT)
    Q_PROPERTY(bool hasCompletedOnboarding READ hasCompletedOnboarding WRITE
                   setHasCompletedOnboarding NOTIFY hasCompletedOnboardingChanged)
    Q_PROPERTY(QString settingsSaveError READ settingsSaveError NOTIFY settingsSaveErrorChanged)

public:
    explicit ChatViewModel(QObject* parent = nullptr);
    explicit ChatViewModel(const ChatViewModelOptions& options, QObject* parent = nullptr);
    ~ChatViewModel() override;

    static constexpr int maxToolIterations = 10;

    // Conversations.
    ConversationStore* store() const { return m_store; }
    ConversationListModel* conversationList() const { return m_conversationList; }
    MessageListModel* messages() const { return m_messages; }
    std::optional<QUuid> currentConversationId() const;
    void setCurrentConversationId(std::optional<QUuid> id);
    const Conversation* currentConversation() const;
    Q_INVOKABLE void newConversation(bool withGreeting = false);
    void deleteConversation(const QUuid& id);
    Q_INVOKABLE void deleteConversation(const QString& id);

    // Sending.
    QString inputText() const { return m_inputText; }
    void setInputText(const QString& text);
    bool isGenerating() const { return m_isGenerating; }
    Q_INVOKABLE void sendMessage();
    Q_INVOKABLE void stopGeneration();

    // Panels.
    std::optional<InspectorSidebarPanel> inspectorPanel() const { return m_inspectorPanel; }
    void setInspectorPanel(std::optional<InspectorSidebarPanel> panel);
    void togglePanel(InspectorSidebarPanel panel);
    Q_INVOKABLE void togglePanel(const QString& panel);

    // Backends and providers.
    AIBackend activeBackend() const { return m_activeBackend; }
    AIServiceProtocol* currentService() const;
    bool serviceAvailable() const { return m_serviceAvailable; }
    // True once an availability check has answered: until then serviceAvailable
    // is only the hopeful start value, not a result to show as "Connected".
    bool serviceChecked() const { return m_serviceChecked; }
    CloudConfig cloudConfig() const { return m_cloudConfig; }
    void setCloudConfig(const CloudConfig& config);
    void switchBackend(AIBackend backend);
    Q_INVOKABLE void switchBackend(const QString& backend);
    void switchProvider(CloudProviderPreset provider);
    Q_INVOKABLE void switchProvider(const QString& provider);
    Q_INVOKABLE void saveCloudConfig();
    // Uses a configuration for this run only: the client gets it, the store does not.
    void useCloudConfigWithoutSaving(const CloudConfig& config);
    QMap<CloudProviderPreset, CloudConfig> savedCloudConfigs() const;
    Q_INVOKABLE void setCloudApiKey(const QString& key);
    Q_INVOKABLE void setCloudModel(const QString& model);
    Q_INVOKABLE void setCloudBaseURL(const QString& baseURL);
    QCoro::Task<> checkServiceAvailability();
    Q_INVOKABLE void testConnection(); // checkServiceAvailability as a task of its own
    // The models the cloud provider listed at the last probe, as choices for
    // the model field; empty when it listed none.
    QStringList servedModels() const { return m_servedModels; }
    // The provider listed its models and the configured one is not among them.
    bool modelNotOffered() const { return m_modelNotOffered; }
    Q_INVOKABLE void refreshServedModels(); // probes the provider again
    CloudAPIService* cloudService() const { return m_cloudService; }
    LocalLLMService* localService() const { return m_localService; }

    // The local model.
    bool isLoadingModel() const;
    QString modelLoadError() const;
    QString ollamaPullProgress() const;
    bool isPullingModel() const;
    Q_INVOKABLE void pullModel();
    LocalModelSetup* localModelSetup() const { return m_localSetup; }

    // The phone server.
    bool isServerRunning() const { return m_isServerRunning; }
    std::optional<QString> serverURL() const { return m_serverURL; }
    Q_INVOKABLE void toggleServer();
    WebBridge* webBridge() const { return m_webBridge; }

    PersonaManager* persona() const { return m_persona; }
    bool hasCompletedOnboarding() const;
    void setHasCompletedOnboarding(bool completed);
    // Why the settings file could not be written at the last save, in the
    // system's words; empty once a save succeeds. What was set stays in use.
    QString settingsSaveError() const { return m_settingsSaveError; }

Q_SIGNALS:
    void currentConversationIdChanged();
    void inputTextChanged();
    void isGeneratingChanged();
    void serviceAvailableChanged();
    void serviceCheckedChanged();
    void isServerRunningChanged();
    void serverURLChanged();
    void inspectorPanelChanged();
    void activeBackendChanged();
    void isLoadingModelChanged();
    void modelLoadErrorChanged();
    void ollamaPullProgressChanged();
    void isPullingModelChanged();
    void cloudConfigChanged();
    void servedModelsChanged();
    void modelNotOfferedChanged();
    void hasCompletedOnboardingChanged();
    void settingsSaveErrorChanged();

private:
    QString currentConversationIdText() const;
    void setCurrentConversationIdText(const QString& id);
    QString serverURLText() const { return m_serverURL.value_or(QString()); }
    QString inspectorPanelText() const;
    void setInspectorPanelText(const QString& panel);
    QString activeBackendText() const { return toText(m_activeBackend); }

    void setIsGenerating(bool generating);
    void setServiceAvailable(bool available);
    void setActiveBackend(AIBackend backend);
    void setServedModels(const QStringList& models);
    void updateModelOffer();
    // A probe's answer no longer applies: the next one decides.
    void dropPendingProbes();
    void setServerState(bool running, std::optional<QString> url);
    void applyCloudConfigToClient();
    void noteSettingsSave(const WriteResult& result);
    QCoro::Task<> generate(QUuid conversationId, QString systemPrompt,
                           std::shared_ptr<RequestCancellation> cancellation);
    QCoro::Task<> loadLocalModel();
    void startAvailabilityCheck();

    // Collaborators, created in this order.
    PersonaManager* m_persona = nullptr;
    LocalLLMService* m_localService = nullptr;
    ToolRunner* m_tools = nullptr;
    std::unique_ptr<UserDefaults> m_userDefaults;
    CloudAPIService* m_cloudService = nullptr;
    ConversationStore* m_store = nullptr;
    ConversationListModel* m_conversationList = nullptr;
    MessageListModel* m_messages = nullptr;
    ToolLoop* m_toolLoop = nullptr;
    LocalModelSetup* m_localSetup = nullptr;
    WebBridge* m_webBridge = nullptr;

    QString m_inputText;
    bool m_isGenerating = false;
    bool m_serviceAvailable = true;
    bool m_serviceChecked = false;
    bool m_isServerRunning = false;
    std::optional<QString> m_serverURL;
    std::optional<InspectorSidebarPanel> m_inspectorPanel;
    QString m_settingsSaveError;
    AIBackend m_activeBackend = AIBackend::cloud;
    CloudConfig m_cloudConfig;
    QStringList m_servedModels;
    bool m_modelNotOffered = false;
    quint64 m_probeRequest = 0; // the number of the latest availability probe
    std::shared_ptr<RequestCancellation> m_streamTask;
};
