#include "scene_harness.h"

#include "core/chat_view_model.h"
#include "core/conversation_keeper.h"
#include "core/conversation_search.h"
#include "core/conversation_store.h"
#include "core/deletion_undo.h"
#include "core/local_model_setup.h"
#include "core/model_backends.h"
#include "core/preferences.h"
#include "core/provider_settings.h"
#include "support/fake_http_server.h"
#include "tools/tool_arguments.h"
#include "ui/backend/app_context.h"

#include <QDir>
#include <QFile>
#include <QJSEngine>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QPointer<SceneHarness> current;

const QString chatPath = u"/v1/chat/completions"_s;
const QString modelsPath = u"/v1/models"_s;
const QString tagsPath = u"/api/tags"_s;

FakeResponse modelsList() {
    return FakeResponse::json(200, {{u"data"_s, QJsonArray{}}});
}

FakeResponse installedTags(bool installed) {
    return FakeOllamaServer::tags({installed ? u"qwen2.5:3b"_s : u"llama3:8b"_s});
}

QString compactJson(const QVariantMap& map) {
    return QString::fromUtf8(
        QJsonDocument(QJsonObject::fromVariantMap(map)).toJson(QJsonDocument::Compact));
}

} // namespace

SceneHarness::SceneHarness(QObject* parent)
    : QObject(parent), m_cloud(std::make_unique<FakeOpenAIServer>()),
      m_ollama(std::make_unique<FakeOllamaServer>()) {
    answerAsAtLaunch();

    // Stored before the controller starts, so even its first probe goes to the fake.
    const QString settingsFile = this->settingsFile();
    {
        UserDefaults defaults(settingsFile);
        ProviderSettings::save(defaults, {CloudProviderPreset::grok, u"test-key"_s,
                                          m_cloud->baseUrl(), u"grok-test"_s});
    }
    m_viewModel = std::make_unique<ChatViewModel>(ChatViewModelOptions{
        .personaDirectory = m_dir.filePath(u"persona"_s),
        .settingsFile = settingsFile,
        .ollamaBase = m_ollama->baseUrl(),
        .serverPort = 0,
        .keptConversationsFile = m_dir.filePath(u"data/conversations.sqlite"_s)});
    AppContext::setViewModel(m_viewModel.get());
    current = this;
}

SceneHarness::~SceneHarness() {
    AppContext::setViewModel(nullptr);
}

QString SceneHarness::fileWithTwoNames() const {
    const QString folder = m_dir.filePath(u"persona"_s);
    const QString path = folder + u"/linked.md"_s;
    const QString other = folder + u"/other-name.md"_s;
    QFile::remove(path);
    QFile::remove(other);
    QFile file(path);
    const bool made =
        QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
        ::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()) == 0;
    return made ? path : QString();
}

SceneHarness* SceneHarness::instance() {
    return current;
}

SceneHarness* SceneHarnessForeign::create(QQmlEngine*, QJSEngine*) {
    QJSEngine::setObjectOwnership(current, QJSEngine::CppOwnership);
    return current;
}

void SceneHarness::reset() {
    ChatViewModel& vm = *m_viewModel;
    vm.stopGeneration();
    vm.setInspectorPanel(std::nullopt);
    vm.setInputText(QString());
    if (vm.isServerRunning()) {
        vm.toggleServer();
    }
    vm.preferences()->setAskBeforeActing(true);
    vm.preferences()->setSandboxCommands(false);
    answerAsAtLaunch();
    if (vm.backends()->activeBackend() != AIBackend::cloud) {
        vm.backends()->switchBackend(AIBackend::cloud);
    } else if (!vm.backends()->serviceAvailable()) {
        vm.backends()->testConnection();
    }
    if (!vm.localModelSetup()->modelLoadError().isEmpty()) {
        vm.localModelSetup()->load(); // probed again, which clears the error
    }
    vm.search()->setText(QString());
    vm.keeper()->turnOff(true);
    const QList<Conversation> conversations = vm.store()->conversations(); // a copy: they go
    for (const Conversation& conversation : conversations) {
        vm.deleteConversation(conversation.id);
    }
    vm.deletionUndo()->dismiss();
}

void SceneHarness::answerAsAtLaunch() {
    m_cloud->setStandingResponse("GET", modelsPath, modelsList());
    m_cloud->setStandingResponse("POST", chatPath, FakeOpenAIServer::chatReply(u"OK"_s));
    m_ollama->setStandingResponse("GET", tagsPath, installedTags(true));
}

void SceneHarness::append(const ChatMessage& message) {
    if (const auto id = m_viewModel->currentConversationId()) {
        m_viewModel->store()->appendMessage(*id, message);
    }
}

void SceneHarness::addMessage(const QString& role, const QString& content) {
    append(ChatMessage::make(roleFromText(role).value_or(Role::assistant), content));
}

void SceneHarness::addToolCall(const QString& tool, const QVariantMap& args) {
    ChatMessage message = ChatMessage::make(Role::tool, QString());
    message.toolCall =
        ToolCallInfo{u"call_%1"_s.arg(++m_calls), tool,
                     argumentsFromJson(QJsonObject::fromVariantMap(args)), compactJson(args)};
    append(message);
}

void SceneHarness::addToolResult(const QString& tool, bool success, const QString& output) {
    ChatMessage message = ChatMessage::make(Role::tool, output);
    message.toolResult = ToolResultInfo{u"call_%1"_s.arg(m_calls), tool, success, output};
    append(message);
}

void SceneHarness::addExchange(int count) {
    for (int i = 0; i < count; ++i) {
        const bool fromUser = i % 2 == 0;
        addMessage(fromUser ? u"user"_s : u"assistant"_s,
                   (fromUser ? u"Question %1: what changed in the report?"_s
                             : u"Answer %1: the totals moved by a few percent, and the second "
                               "table gained a column."_s)
                       .arg(i));
    }
}

void SceneHarness::nameConversation(const QString& title) {
    if (const auto id = m_viewModel->currentConversationId()) {
        m_viewModel->store()->setTitle(*id, title);
    }
}

void SceneHarness::holdReplies() {
    m_cloud->setStandingResponse("POST", chatPath, FakeResponse::silence());
}

void SceneHarness::answerWith(const QString& text) {
    m_cloud->setStandingResponse("POST", chatPath, FakeOpenAIServer::chatReply(text));
}

void SceneHarness::callToolNext(const QString& tool, const QVariantMap& args) {
    const QJsonObject call =
        FakeOpenAIServer::toolCall(u"call_%1"_s.arg(++m_calls), tool, compactJson(args));
    m_cloud->enqueue("POST", chatPath, FakeOpenAIServer::chatReply({}, {call}));
}

void SceneHarness::failRepliesWith(int status, const QString& body) {
    m_cloud->setStandingResponse("POST", chatPath,
                                 status == 0 ? FakeResponse::garbage(body.toUtf8())
                                             : FakeResponse::text(status, body.toUtf8()));
}

void SceneHarness::setCloudReachable(bool reachable) {
    m_cloud->setStandingResponse("GET", modelsPath,
                                 reachable ? modelsList() : FakeResponse::text(500, "unavailable"));
    m_viewModel->backends()->testConnection();
}

void SceneHarness::setLocalModelInstalled(bool installed) {
    m_ollama->setStandingResponse("GET", tagsPath, installedTags(installed));
}

void SceneHarness::holdLocalProbe() {
    m_ollama->setStandingResponse("GET", tagsPath, installedTags(true).heldUntilReleased());
}
