#include "core/chat_view_model.h"

#include "core/core_texts.h"

#include "core/conversation_export.h"
#include "core/conversation_filter_model.h"
#include "core/conversation_keeper.h"
#include "core/conversation_list_model.h"
#include "core/conversation_search.h"
#include "core/conversation_store.h"
#include "core/deletion_undo.h"
#include "core/greeting.h"
#include "core/local_model_setup.h"
#include "core/message_actions.h"
#include "core/message_list_model.h"
#include "core/model_backends.h"
#include "core/preferences.h"
#include "core/tool_approval.h"
#include "core/tool_loop.h"
#include "core/tool_runner.h"
#include "core/user_defaults.h"
#include "core/web_bridge.h"
#include "persona/persona_manager.h"

#include <QMetaEnum>
#include <QPointer>

#include <algorithm>
#include <iterator>

ChatViewModel::ChatViewModel(QObject* parent) : ChatViewModel(ChatViewModelOptions{}, parent) {}

ChatViewModel::ChatViewModel(const ChatViewModelOptions& options, QObject* parent)
    : QObject(parent) {
    m_persona = options.personaDirectory.isEmpty()
                    ? new PersonaManager(this)
                    : new PersonaManager(options.personaDirectory, this);
    m_tools = new ToolRunner(this);

    m_userDefaults = options.settingsFile.isEmpty()
                         ? std::make_shared<UserDefaults>()
                         : std::make_shared<UserDefaults>(options.settingsFile);
    m_preferences = new Preferences(m_userDefaults, this);
    connect(m_preferences, &Preferences::settingsSaved, this, &ChatViewModel::noteSettingsSave);
    m_backends = new ModelBackends(m_userDefaults, options.ollamaBase, this);
    connect(m_backends, &ModelBackends::settingsSaved, this, &ChatViewModel::noteSettingsSave);

    m_store = new ConversationStore(this);
    m_conversationList = new ConversationListModel(m_store, this);
    m_messages = new MessageListModel(m_store, this);
    m_messageActions = new MessageActions(m_store, this);
    // An input emptied by hand is no longer the edited question.
    connect(this, &ChatViewModel::inputTextChanged, m_messageActions, [this] {
        if (m_inputText.isEmpty()) {
            m_messageActions->cancelEdit();
        }
    });
    // The field shows the entered conversation's draft before anyone hears of the switch.
    connect(m_store, &ConversationStore::currentConversationIdChanged, this,
            [this] { setInputText(m_drafts.switchTo(currentConversationId(), m_inputText)); });
    connect(m_store, &ConversationStore::currentConversationIdChanged, this,
            &ChatViewModel::currentConversationIdChanged);

    m_toolApproval = new ToolApproval(
        m_store, m_persona->storageDirectory(),
        [defaults = m_userDefaults] { return loadApprovalMode(*defaults); }, this);
    m_toolLoop = new ToolLoop(
        m_store, m_persona, m_tools, m_toolApproval,
        [this] {
            const bool local = m_backends->activeBackend() == AIBackend::local;
            return ToolLoop::Backend{
                m_backends->currentService(), local ? WireMode::text : WireMode::native,
                m_backends->currentProviderName(), m_backends->currentModelName(),
                m_preferences->streamReplies()};
        },
        this);
    connect(m_toolLoop, &ToolLoop::replyThinkingChanged, this,
            &ChatViewModel::replyThinkingChanged);

    m_webBridge = new WebBridge(m_store, m_persona, options.serverPort, this);
    connect(m_webBridge, &WebBridge::statusChanged, this, &ChatViewModel::setServerState);
    m_webBridge->setFormatsReplies([this] { return m_preferences->formatReplies(); });

    // The launch conversation comes first; kept ones are listed below it.
    newConversation(true);
    setUpKeptConversations(options.keptConversationsFile);
}

void ChatViewModel::setUpKeptConversations(const QString& file) {
    m_keeper = new ConversationKeeper(
        m_store, m_preferences, file,
        [bridge = m_webBridge](const QUuid& id) { return bridge->webConversationId() == id; },
        this);
    connect(m_keeper, &ConversationKeeper::phoneConversationFound, m_webBridge,
            &WebBridge::adoptWebConversation);
    m_search = new ConversationSearch(m_store, m_keeper, this);
    m_shownConversations = new ConversationFilterModel(m_conversationList, m_search, this);
    m_deletionUndo = new DeletionUndo(m_store, this);
    connect(m_deletionUndo, &DeletionUndo::finalized, m_keeper, &ConversationKeeper::forget);
    // A held conversation whose messages were still in the file cannot come back without it:
    // the file is let go from the moment keeping is turned off.
    connect(m_keeper, &ConversationKeeper::stopping, m_deletionUndo, &DeletionUndo::dismiss);
    connect(m_keeper, &ConversationKeeper::stateChanged, m_deletionUndo, [this] {
        if (m_keeper->state() == ConversationKeeper::State::off) {
            m_deletionUndo->dismiss();
        }
    });
    m_export = new ConversationExport(
        m_store, m_keeper, [persona = m_persona] { return persona->agentName(); }, this);
    m_keeper->begin();
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
    Conversation conversation = Conversation::make(CoreTexts::newChat());
    if (withGreeting) {
        conversation.messages.append(
            ChatMessage::make(Role::assistant, greetingFor(m_persona->agentName())));
    }
    m_store->insertAndSelect(std::move(conversation));
}

void ChatViewModel::deleteConversation(const QUuid& id) {
    // A running loop on this conversation finds it gone at its next look-up.
    const int index = m_store->indexOf(id);
    if (index >= 0) {
        m_deletionUndo->hold(m_store->conversations().at(index), index);
    }
    m_store->deleteConversation(id);
    m_drafts.forget(id);
    if (m_store->conversations().isEmpty()) {
        newConversation(false);
    }
}

void ChatViewModel::deleteConversation(const QString& id) {
    deleteConversation(QUuid::fromString(id));
}

void ChatViewModel::renameConversation(const QString& id, const QString& title) {
    const QString trimmed = title.simplified();
    if (!trimmed.isEmpty()) {
        m_store->rename(QUuid::fromString(id), trimmed);
    }
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
    if (!text.isEmpty() && !m_isGenerating && !m_messageActions->editedQuestionId().isEmpty()) {
        m_messageActions->removeEditedQuestion();
    }
    if (ask(text)) {
        setInputText(QString());
    }
}

void ChatViewModel::retryReply(const QString& messageId) {
    // The question before the failed reply, asked again: what was stored stays.
    const Conversation* conversation = currentConversation();
    const QUuid failed = QUuid::fromString(messageId);
    if (conversation == nullptr) {
        return;
    }
    const auto& messages = conversation->messages;
    const auto reply = std::ranges::find(messages, failed, &ChatMessage::id);
    const auto question =
        std::find_if(std::make_reverse_iterator(reply), messages.crend(),
                     [](const ChatMessage& message) { return message.role == Role::user; });
    if (reply != messages.cend() && question != messages.crend()) {
        ask(question->content);
    }
}

bool ChatViewModel::ask(const QString& text) {
    const auto conversationId = currentConversationId();
    // A kept conversation takes new messages once its own are read.
    if (text.isEmpty() || m_isGenerating || currentConversation() == nullptr ||
        currentConversation()->messagesPending) {
        return false;
    }
    m_store->appendMessage(*conversationId, ChatMessage::make(Role::user, text));
    m_store->touch(*conversationId);
    m_store->nameAfterFirstUserMessage(*conversationId, text);
    startReply(*conversationId);
    return true;
}

void ChatViewModel::editAndResend(const QString& messageId) {
    if (m_isGenerating) {
        return;
    }
    if (const auto text = m_messageActions->beginEdit(QUuid::fromString(messageId))) {
        setInputText(*text);
        Q_EMIT m_messageActions->editStarted();
    }
}

void ChatViewModel::regenerate(const QString& messageId) {
    const auto conversationId = currentConversationId();
    if (!m_isGenerating && conversationId &&
        m_messageActions->removeReply(QUuid::fromString(messageId))) {
        startReply(*conversationId);
    }
}

void ChatViewModel::startReply(const QUuid& conversationId) {
    setIsGenerating(true);

    const QString systemPrompt = m_persona->systemPrompt();
    auto cancellation = std::make_shared<RequestCancellation>();
    m_streamTask = cancellation;
    generate(conversationId, systemPrompt, cancellation);
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

double ChatViewModel::replyThinkingSince() const {
    const std::optional<QDateTime> since = m_toolLoop->replyThinkingSince();
    return since ? double(since->toMSecsSinceEpoch()) : 0;
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

void ChatViewModel::closeInspector() {
    setInspectorPanel(std::nullopt);
}

QVariant ChatViewModel::inspectorPanelValue() const {
    return m_inspectorPanel ? QVariant::fromValue(*m_inspectorPanel) : QVariant();
}

// QML hands the enumeration over as a number; anything else closes the inspector.
void ChatViewModel::setInspectorPanelValue(const QVariant& panel) {
    bool isNumber = false;
    const int value = panel.toInt(&isNumber);
    const bool known =
        isNumber && QMetaEnum::fromType<InspectorSidebarPanel>().valueToKey(value) != nullptr;
    setInspectorPanel(known ? std::optional(InspectorSidebarPanel(value)) : std::nullopt);
}

// The model backends -------------------------------------------------------------

LocalModelSetup* ChatViewModel::localModelSetup() const {
    return m_backends->localModelSetup();
}

// The phone server ---------------------------------------------------------------

void ChatViewModel::toggleServer() {
    const bool starting = !m_isServerRunning;
    if (starting) {
        m_webBridge->startServer(m_backends->currentService());
    } else {
        m_webBridge->stopServer();
    }
    // The server reports before it returns: not running after a start means it could not listen.
    const QString problem =
        starting && !m_isServerRunning ? CoreTexts::cannotListen(m_webBridge->port()) : QString();
    if (m_serverProblem != problem) {
        m_serverProblem = problem;
        Q_EMIT serverProblemChanged();
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
