#pragma once

#include "core/conversation_drafts.h"
#include "core/inspector_panel.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUuid>

#include <memory>
#include <optional>

class ConversationExport;
class ConversationFilterModel;
class ConversationKeeper;
class ConversationListModel;
class ConversationSearch;
class ConversationStore;
class DeletionUndo;
class LocalModelSetup;
class MessageActions;
class MessageListModel;
class ModelBackends;
class PersonaManager;
class Preferences;
class RequestCancellation;
class ToolApproval;
class ToolLoop;
class ToolRunner;
class UserDefaults;
class WebBridge;
class WriteResult;
struct Conversation;

// Where a controller keeps its state; the defaults are the application's own.
struct ChatViewModelOptions {
    QString personaDirectory;      // empty: ~/.nimbrook
    QString settingsFile;          // empty: the application's settings file
    QString ollamaBase;            // empty: the local Ollama server
    quint16 serverPort = 8080;     // the phone server
    QString keptConversationsFile; // empty: $XDG_DATA_HOME/Emberglass/conversations.sqlite
};

// The one controller the views see. It holds the state every screen shows and
// forwards the user's actions to the collaborators that do the work: the
// conversation store, the tool loop and the phone bridge; the model backends
// (with the local-model setup) and the persona store it shows as they are.
class ChatViewModel : public QObject {
    Q_OBJECT
    Q_MOC_INCLUDE("core/conversation_export.h")
    Q_MOC_INCLUDE("core/conversation_filter_model.h")
    Q_MOC_INCLUDE("core/conversation_keeper.h")
    Q_MOC_INCLUDE("core/conversation_list_model.h")
    Q_MOC_INCLUDE("core/conversation_search.h")
    Q_MOC_INCLUDE("core/deletion_undo.h")
    Q_MOC_INCLUDE("core/local_model_setup.h")
    Q_MOC_INCLUDE("core/message_actions.h")
    Q_MOC_INCLUDE("core/message_list_model.h")
    Q_MOC_INCLUDE("core/model_backends.h")
    Q_MOC_INCLUDE("core/preferences.h")
    Q_MOC_INCLUDE("persona/persona_manager.h")
    Q_MOC_INCLUDE("core/tool_approval.h")
    Q_PROPERTY(ConversationListModel* conversations READ conversationList CONSTANT)
    // The sessions list as shown: filtered by the search, matches marked.
    Q_PROPERTY(ConversationFilterModel* shownConversations READ shownConversations CONSTANT)
    Q_PROPERTY(ConversationSearch* search READ search CONSTANT)
    Q_PROPERTY(ConversationKeeper* keptConversations READ keeper CONSTANT)
    Q_PROPERTY(DeletionUndo* deletionUndo READ deletionUndo CONSTANT)
    Q_PROPERTY(ConversationExport* conversationExport READ conversationExport CONSTANT)
    Q_PROPERTY(MessageListModel* messages READ messages CONSTANT)
    Q_PROPERTY(QString currentConversationId READ currentConversationIdText WRITE
                   setCurrentConversationIdText NOTIFY currentConversationIdChanged)
    Q_PROPERTY(QString inputText READ inputText WRITE setInputText NOTIFY inputTextChanged)
    Q_PROPERTY(bool isGenerating READ isGenerating NOTIFY isGeneratingChanged)
    // While a reply shown as it is written has had only reasoning: since when,
    // in milliseconds since the epoch; 0 otherwise.
    Q_PROPERTY(double replyThinkingSince READ replyThinkingSince NOTIFY replyThinkingChanged)
    Q_PROPERTY(bool isServerRunning READ isServerRunning NOTIFY isServerRunningChanged)
    Q_PROPERTY(QString serverURL READ serverURLText NOTIFY serverURLChanged)
    Q_PROPERTY(QString serverProblem READ serverProblem NOTIFY serverProblemChanged)
    // The open panel as an InspectorSidebarPanel value; undefined (reset) when none is.
    Q_PROPERTY(QVariant inspectorPanel READ inspectorPanelValue WRITE setInspectorPanelValue RESET
                   closeInspector NOTIFY inspectorPanelChanged)
    Q_PROPERTY(ModelBackends* backends READ backends CONSTANT)
    Q_PROPERTY(LocalModelSetup* localModelSetup READ localModelSetup CONSTANT)
    Q_PROPERTY(PersonaManager* persona READ persona CONSTANT)
    Q_PROPERTY(Preferences* preferences READ preferences CONSTANT)
    // Which messages can be edited or asked for again.
    Q_PROPERTY(MessageActions* messageActions READ messageActions CONSTANT)
    // The call waiting for the user's approval, if any.
    Q_PROPERTY(ToolApproval* toolApproval READ toolApproval CONSTANT)
    Q_PROPERTY(bool hasCompletedOnboarding READ hasCompletedOnboarding WRITE
                   setHasCompletedOnboarding NOTIFY hasCompletedOnboardingChanged)
    Q_PROPERTY(QString settingsSaveError READ settingsSaveError NOTIFY settingsSaveErrorChanged)

public:
    explicit ChatViewModel(QObject* parent = nullptr);
    explicit ChatViewModel(const ChatViewModelOptions& options, QObject* parent = nullptr);
    ~ChatViewModel() override;

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
    // The user's own title; a blank one changes nothing.
    Q_INVOKABLE void renameConversation(const QString& id, const QString& title);
    ConversationFilterModel* shownConversations() const { return m_shownConversations; }
    ConversationSearch* search() const { return m_search; }
    ConversationKeeper* keeper() const { return m_keeper; }
    DeletionUndo* deletionUndo() const { return m_deletionUndo; }
    ConversationExport* conversationExport() const { return m_export; }

    // Sending.
    QString inputText() const { return m_inputText; }
    void setInputText(const QString& text);
    bool isGenerating() const { return m_isGenerating; }
    double replyThinkingSince() const;
    Q_INVOKABLE void sendMessage();
    Q_INVOKABLE void stopGeneration();
    // Asks again the question a failed reply (by its id) answered.
    Q_INVOKABLE void retryReply(const QString& messageId);
    // The last question's text back in the input: sending it replaces the
    // question and all that followed.
    Q_INVOKABLE void editAndResend(const QString& messageId);
    // Removes the last reply with its tool records and asks the model again.
    Q_INVOKABLE void regenerate(const QString& messageId);
    MessageActions* messageActions() const { return m_messageActions; }

    // Panels.
    std::optional<InspectorSidebarPanel> inspectorPanel() const { return m_inspectorPanel; }
    void setInspectorPanel(std::optional<InspectorSidebarPanel> panel);
    Q_INVOKABLE void togglePanel(InspectorSidebarPanelType::Value panel);
    Q_INVOKABLE void closeInspector();

    // The model clients, the cloud settings and the local model.
    ModelBackends* backends() const { return m_backends; }
    LocalModelSetup* localModelSetup() const;

    // The phone server.
    bool isServerRunning() const { return m_isServerRunning; }
    std::optional<QString> serverURL() const { return m_serverURL; }
    Q_INVOKABLE void toggleServer();
    // Why the last start did not listen; empty once it does or is stopped.
    QString serverProblem() const { return m_serverProblem; }
    WebBridge* webBridge() const { return m_webBridge; }

    PersonaManager* persona() const { return m_persona; }
    // The SETTINGS panel's preferences.
    Preferences* preferences() const { return m_preferences; }
    // The settings file, for what the window keeps in it.
    std::shared_ptr<UserDefaults> userDefaults() const { return m_userDefaults; }
    ToolApproval* toolApproval() const { return m_toolApproval; }
    bool hasCompletedOnboarding() const;
    void setHasCompletedOnboarding(bool completed);
    // Why the settings file could not be written at the last save, in the
    // system's words; empty once a save succeeds. What was set stays in use.
    QString settingsSaveError() const { return m_settingsSaveError; }

Q_SIGNALS:
    void currentConversationIdChanged();
    void inputTextChanged();
    void isGeneratingChanged();
    void replyThinkingChanged();
    void isServerRunningChanged();
    void serverURLChanged();
    void serverProblemChanged();
    void inspectorPanelChanged();
    void hasCompletedOnboardingChanged();
    void settingsSaveErrorChanged();

private:
    QString currentConversationIdText() const;
    void setCurrentConversationIdText(const QString& id);
    QString serverURLText() const { return m_serverURL.value_or(QString()); }
    QVariant inspectorPanelValue() const;
    void setInspectorPanelValue(const QVariant& panel);

    void setUpKeptConversations(const QString& file);
    void setIsGenerating(bool generating);
    // Appends the user's `text` and starts the reply; false when it cannot.
    bool ask(const QString& text);
    void startReply(const QUuid& conversationId);
    void setServerState(bool running, std::optional<QString> url);
    void noteSettingsSave(const WriteResult& result);
    QCoro::Task<> generate(QUuid conversationId, QString systemPrompt,
                           std::shared_ptr<RequestCancellation> cancellation);

    // Collaborators, created in this order.
    PersonaManager* m_persona = nullptr;
    ToolRunner* m_tools = nullptr;
    std::shared_ptr<UserDefaults> m_userDefaults;
    Preferences* m_preferences = nullptr;
    ModelBackends* m_backends = nullptr;
    ConversationStore* m_store = nullptr;
    ConversationListModel* m_conversationList = nullptr;
    MessageListModel* m_messages = nullptr;
    ToolApproval* m_toolApproval = nullptr;
    ToolLoop* m_toolLoop = nullptr;
    WebBridge* m_webBridge = nullptr;
    MessageActions* m_messageActions = nullptr;
    ConversationKeeper* m_keeper = nullptr;
    ConversationSearch* m_search = nullptr;
    ConversationFilterModel* m_shownConversations = nullptr;
    DeletionUndo* m_deletionUndo = nullptr;
    ConversationExport* m_export = nullptr;

    QString m_inputText;
    ConversationDrafts m_drafts;
    bool m_isGenerating = false;
    bool m_isServerRunning = false;
    std::optional<QString> m_serverURL;
    QString m_serverProblem;
    std::optional<InspectorSidebarPanel> m_inspectorPanel;
    QString m_settingsSaveError;
    std::shared_ptr<RequestCancellation> m_streamTask;
};
