// The controller end to end against scripted model servers: launch state,
// sending, the tool loop with native calls (the local model's text mode runs
// end to end in tst_chat_cli), stopping, deletion, backend and provider
// switches, and phone chats mirrored through the real phone server.

#include "core/approval_mode.h"
#include "core/chat_view_model.h"
#include "core/cloud_config.h"
#include "core/conversation_store.h"
#include "core/local_model_setup.h"
#include "core/model_backends.h"
#include "core/preferences.h"
#include "core/provider_settings.h"
#include "core/user_defaults.h"
#include "core/web_bridge.h"
#include "models/cloud_api_service.h"
#include "persona/persona_manager.h"
#include "support/fake_http_server.h"
#include "support/json_rows.h"
#include "support/provider_replay.h"
#include "support/raw_http_client.h"
#include "support/scoped_environment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kGreeting = u"I'm awake. Who are you? Who am I? Where am I?"_s;
const QString kCompletions = u"/v1/chat/completions"_s;

FakeResponse reply(const QString& text, const QString& tool = {},
                   const QString& arguments = u"{}"_s) {
    QJsonArray calls;
    if (!tool.isEmpty()) {
        calls.append(FakeOpenAIServer::toolCall(u"c"_s, tool, arguments));
    }
    return FakeOpenAIServer::chatReply(text, calls);
}

QStringList contents(const Conversation* conversation) {
    QStringList list;
    std::ranges::transform(conversation->messages, std::back_inserter(list), &ChatMessage::content);
    return list;
}

// Tools run unasked here; asking is tst_tool_approval's.
bool actsUnattended(const QString& settingsFile) {
    UserDefaults defaults(settingsFile);
    return saveApprovalMode(defaults, ApprovalMode::act).ok();
}

// A controller with its own persona folder and settings file, talking to the
// scripted fake model servers.
struct Harness {
    QTemporaryDir dir;
    bool acts = actsUnattended(dir.filePath("settings/settings.conf"));
    FakeOpenAIServer cloud;
    FakeOllamaServer ollama;
    std::unique_ptr<ChatViewModel> vm = relaunch();
    ModelBackends& backends = *vm->backends();

    Harness() {
        vm->backends()->useCloudConfigWithoutSaving(
            {CloudProviderPreset::grok, "k", cloud.baseUrl(), "grok-test"});
    }
    std::unique_ptr<ChatViewModel> relaunch() const {
        return std::make_unique<ChatViewModel>(
            ChatViewModelOptions{.personaDirectory = dir.filePath("persona"),
                                 .settingsFile = dir.filePath("settings/settings.conf"),
                                 .ollamaBase = ollama.baseUrl(),
                                 .serverPort = 0,
                                 .keptConversationsFile = {}});
    }
    ConversationStore& store() { return *vm->store(); }
    const QList<ChatMessage>& messages() { return vm->currentConversation()->messages; }
    QList<QJsonArray> sent(const FakeHttpServer& server) const {
        QList<QJsonArray> posts;
        for (const RecordedRequest& request : server.requests()) {
            if (request.method == "POST") {
                posts << request.json()["messages"].toArray();
            }
        }
        return posts;
    }
    void start(const QString& text) {
        vm->setInputText(text);
        vm->sendMessage();
    }
    bool send(const QString& text) {
        start(text);
        return QTest::qWaitFor([this] { return !vm->isGenerating(); }, 8000);
    }
    // The local model chosen while the server lists it, and once it has loaded.
    bool chooseLocalModel() {
        ollama.setStandingResponse("GET", u"/api/tags"_s, FakeOllamaServer::tags({"qwen2.5:3b"}));
        backends.switchBackend(AIBackend::local);
        return QTest::qWaitFor([this] { return backends.activeBackend() == AIBackend::local; });
    }
    bool startServer() {
        vm->toggleServer();
        return QTest::qWaitFor([this] { return vm->isServerRunning(); });
    }
    // Posts one message as the page does and returns the whole streamed answer.
    QByteArray phoneChat(const QByteArray& text) {
        const QUrl url(vm->serverURL().value_or(QString()));
        const auto port = quint16(url.port());
        RawHttpClient phone(port);
        phone.send(requestBytes("POST", "/api/chat?" + url.query().toUtf8(), port, chatBody(text)));
        return phone.waitClosed() ? phone.body() : "";
    }
    const Conversation* phoneConversation() {
        const auto id = vm->webBridge()->webConversationId();
        return id ? store().find(*id) : nullptr;
    }
};

} // namespace

class ChatViewModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aReplyIsStoredTitledAndItsMemoryTagsLogged() {
        Harness h;
        QVERIFY(h.send(u"  \n\t "_s)); // blank: ignored and kept
        QCOMPARE(h.vm->inputText(), u"  \n\t "_s);
        QVERIFY(h.cloud.requests().isEmpty());

        const QString answer = u"Nice! [memory: 用户喜欢猫] and [memory：用户叫小明]"_s;
        h.cloud.enqueue(reply(answer));
        const QString forty = u"I like cats"_s.leftJustified(40, u'!');
        QVERIFY(h.send(u"  "_s + forty));
        QCOMPARE(contents(h.vm->currentConversation()), (QStringList{kGreeting, forty, answer}));
        QCOMPARE(h.vm->currentConversation()->title, forty.left(30));
        const QString log = h.vm->persona()->memoryFiles().value(0).content;
        QVERIFY(log.contains(u"] 用户喜欢猫\n"_s) &&
                log.indexOf(u"喜欢猫"_s) < log.indexOf(u"叫小明"_s));

        // Deleting the last conversation while a reply is awaited ends the loop
        // quietly and leaves a fresh one.
        h.cloud.enqueue(reply(u"late"_s).heldUntilReleased());
        h.start(u"hi"_s);
        QTRY_COMPARE(h.cloud.heldCount(), 1);
        h.vm->deleteConversation(*h.vm->currentConversationId());
        h.cloud.releaseHeld();
        QTRY_VERIFY(!h.vm->isGenerating());
        QCOMPARE(h.store().conversations().size(), 1);
        QCOMPARE(contents(h.vm->currentConversation()), QStringList());

        // Phone pieces are dropped once the mirror no longer ends with the reply.
        WebBridge& bridge = *h.vm->webBridge();
        bridge.appendWebAssistantToken(u"nowhere to go"_s); // no conversation yet
        bridge.receiveWebUserMessage(u"  untrimmed  "_s);
        const QUuid id = *bridge.webConversationId();
        bridge.appendWebAssistantToken(u"kept"_s);
        h.store().appendMessage(id, ChatMessage::make(Role::user, u"typed here"_s));
        bridge.appendWebAssistantToken(u" dropped"_s);
        QCOMPARE(contents(h.store().find(id)),
                 (QStringList{"  untrimmed  ", "kept", "typed here"}));
    }

    // The agent writes the memory or the soul by a spelling of its own; the next
    // pass's prompt holds what it wrote. Other files of its folder leave it as it was.
    void aPersonaWriteByAnySpellingRebuildsThePrompt_data() {
        addJsonRows(u"core/chat_view_model.json"_s, u"personaWrites"_s);
    }
    void aPersonaWriteByAnySpellingRebuildsThePrompt() {
        QFETCH(QJsonObject, row);
        Harness h;
        const QString store = h.vm->persona()->storageDirectory();
        // "~" is this test's own folder, so no link is left in a real home.
        const ScopedEnvironment home("HOME", QFile::encodeName(h.dir.path()));
        QVERIFY(QFile::link(store, QDir::homePath() + u"/persona-link"_s));
        const QString arguments =
            QJsonDocument(QJsonObject{{"path", row["path"].toString().replace(u"{store}"_s, store)},
                                      {"content", u"Likes green tea"_s}})
                .toJson();
        h.cloud.enqueue(reply({}, u"write_file"_s, arguments));
        h.cloud.enqueue(reply(u"Noted"_s));
        QVERIFY(h.send(u"remember my tea"_s));
        QCOMPARE(h.messages().value(4).toolResult->success, true);
        const QList<QJsonArray> sent = h.sent(h.cloud);
        const QJsonValue next = sent.value(1).at(0);
        QCOMPARE(next.toObject()["content"].toString().contains(u"Likes green tea"_s),
                 row["rebuilt"].toBool());
        QCOMPARE(next == sent.value(0).at(0), !row["rebuilt"].toBool());
    }

    void toolCallsRunAndTheirResultsGoBackNatively() {
        Harness h;
        QTemporaryDir work;
        const QString list = QJsonDocument(QJsonObject{{"path", work.path()}}).toJson();
        h.cloud.enqueue(FakeOpenAIServer::chatReply(
            u"Checking [memory: tagged while calling]"_s,
            {FakeOpenAIServer::toolCall(u"c1"_s, u"list_directory"_s, list),
             FakeOpenAIServer::toolCall(u"c2"_s, u"nope"_s, u"{}"_s)}));
        h.cloud.enqueue(reply(u"Done."_s));
        QVERIFY(h.send(u"look around"_s));
        const QList<ChatMessage>& messages = h.messages();
        QCOMPARE(messages.size(), 8);
        QCOMPARE(messages[3].toolCall->rawArguments, list);
        QVERIFY(messages[4].toolResult->success && messages[4].toolResult->toolCallId == "c1");
        // A failing tool (an unknown one) is an answer for the model, not the end of the loop.
        QVERIFY(!messages[6].toolResult->success);
        QCOMPARE(messages[7].content, u"Done."_s);
        QVERIFY(h.vm->persona()->memoryFiles().isEmpty()); // tags of a pass that called tools
        // Back as one turn with both calls and a tool message for each.
        QCOMPARE(h.sent(h.cloud).value(1).size(), 6);

        // A model that always calls tools gets ten passes of placeholder, call and
        // result after the user's message, and no final answer.
        h.cloud.setStandingResponse("POST", kCompletions, reply({}, u"nope"_s));
        const qsizetype requestsBefore = h.sent(h.cloud).size();
        const qsizetype messagesBefore = h.messages().size();
        QVERIFY(h.send(u"loop"_s));
        QCOMPARE(h.sent(h.cloud).size(), requestsBefore + 10);
        QCOMPARE(h.messages().size(), messagesBefore + 1 + 10 * 3);
    }

    // Stop during the first of two commands of one reply ends that command and
    // starts no other; the model is told next time what did not run. The window
    // kept turning while the tool ran, and the stopped loop's end does not end a
    // newer one.
    void stopEndsTheRunningToolAndSkipsTheQueuedOnes() {
        Harness h;
        QTemporaryDir work;
        const QString marker = work.filePath(u"second-ran"_s);
        h.cloud.enqueue(FakeOpenAIServer::chatReply(
            {}, {FakeOpenAIServer::commandCall(u"c1"_s, u"sleep 20"_s),
                 FakeOpenAIServer::commandCall(u"c2"_s, u"touch '"_s + marker + u"'"_s)}));
        h.start(u"two commands"_s);
        QTRY_COMPARE(h.messages().size(), 4); // the first call is recorded and running
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(20);
        QTRY_VERIFY(ticks > 10);
        QCOMPARE(h.messages().size(), 4);
        const QUuid first = *h.vm->currentConversationId();
        h.vm->stopGeneration();
        h.vm->newConversation(false);
        h.cloud.enqueue(reply(u"second reply"_s).heldUntilReleased());
        h.start(u"second"_s);
        // The old loop's next call fails with the cancellation.
        const auto stopped = [&h, first] { return h.store().find(first)->messages; };
        QTRY_VERIFY_WITH_TIMEOUT(stopped().last().content.startsWith(u"Error: "_s), 8000);
        const auto resultOf = [&](const QString& id) {
            const QList<ChatMessage> messages = stopped();
            const auto found = std::ranges::find_if(messages, [&](const ChatMessage& message) {
                return message.toolResult && message.toolResult->toolCallId == id;
            });
            return found == messages.end() ? ToolResultInfo{} : *found->toolResult;
        };
        const ToolResultInfo ended = resultOf(u"c1"_s);
        QVERIFY2(!ended.success && ended.output.startsWith(u"exit code: 15\n"_s) &&
                     ended.output.endsWith(u"(stopped by the user)"_s),
                 qPrintable(ended.output));
        QCOMPARE(resultOf(u"c2"_s).output, u"Not run: stopped by the user"_s);
        QVERIFY(!resultOf(u"c2"_s).success);
        QVERIFY(!QFile::exists(marker));
        QTRY_COMPARE(h.cloud.heldCount(), 1);
        QVERIFY(h.vm->isGenerating());
        h.cloud.releaseHeld();
        QTRY_COMPARE_WITH_TIMEOUT(h.messages().last().content, u"second reply"_s, 8000);
    }

    // Choosing the local model: a load that fails keeps the cloud, one answering
    // after the cloud was chosen again changes nothing, and a loaded one answers
    // the running loop's next call (the phone keeps the backend its server
    // started with: the phone chats' story).
    void choosingTheLocalModel() {
        Harness h;
        const LocalModelSetup& local = *h.vm->localModelSetup();
        h.ollama.enqueue("GET", u"/api/tags"_s, FakeOllamaServer::tags({"llama3"}));
        h.backends.switchBackend(AIBackend::local);
        QVERIFY(local.isLoadingModel());
        QTRY_VERIFY(!local.modelLoadError().isEmpty());
        QVERIFY(!local.isLoadingModel() && h.backends.activeBackend() == AIBackend::cloud);
        h.backends.switchBackend(AIBackend::cloud); // only the error goes
        QVERIFY(local.modelLoadError().isEmpty());

        QSignalSpy answered(h.vm->localModelSetup()->findChild<QNetworkAccessManager*>(),
                            &QNetworkAccessManager::finished);
        h.ollama.enqueue("GET", u"/api/tags"_s,
                         FakeOllamaServer::tags({"qwen2.5:3b"}).heldUntilReleased());
        h.backends.switchBackend(AIBackend::local);
        QTRY_COMPARE(h.ollama.heldCount(), 1);
        h.backends.switchBackend(AIBackend::cloud);
        QVERIFY(!local.isLoadingModel());
        h.ollama.releaseHeld();
        QTRY_COMPARE(answered.size(), 1); // the late answer has come and must change nothing
        QVERIFY(h.backends.activeBackend() == AIBackend::cloud && local.modelLoadError().isEmpty());

        h.cloud.enqueue(reply({}, u"nope"_s).heldUntilReleased());
        h.ollama.enqueue("POST", u"/api/chat"_s, FakeOllamaServer::chatReply(u"from local"_s));
        h.start(u"switch"_s);
        QTRY_COMPARE(h.cloud.heldCount(), 1);
        QVERIFY(h.chooseLocalModel()); // during the loop
        h.cloud.releaseHeld();
        QTRY_COMPARE(h.messages().last().content, u"from local"_s);
    }

    void probesAndProviderSwitches() {
        Harness h;
        QSignalSpy answered(h.backends.cloudService()->findChild<QNetworkAccessManager*>(),
                            &QNetworkAccessManager::finished);
        h.cloud.enqueue("GET", u"/v1/models"_s,
                        FakeResponse::text(401, "old key").heldUntilReleased());
        h.cloud.enqueue("GET", u"/v1/models"_s,
                        FakeResponse::text(200, R"({"data":[{"id":"models/zeta"},{"id":"grok-4.3"},
                                                   {"id":"grok-4.3"}]})"));
        h.backends.testConnection();
        QTRY_COMPARE(h.cloud.heldCount(), 1);
        h.backends.testConnection();
        QTRY_COMPARE(answered.size(), 1);
        h.cloud.releaseHeld(); // the older probe answers last
        QTRY_COMPARE(answered.size(), 2);
        QVERIFY(h.backends.serviceAvailable() &&
                h.backends.modelNotOffered()); // "grok-test" is not listed
        QCOMPARE(h.backends.servedModels(), (QStringList{"grok-4.3", "zeta"}));
        h.backends.setCloudModel(u"models/zeta"_s);
        QVERIFY(!h.backends.modelNotOffered()); // with or without the prefix

        // Provider switches store and restore their settings.
        h.backends.switchProvider(CloudProviderPreset::deepseek);
        QCOMPARE(h.backends.cloudConfig(), defaultConfig(CloudProviderPreset::deepseek));
        QCOMPARE(h.backends.cloudService()->model(), h.backends.cloudConfig().model);
        h.backends.setCloudBaseURL(h.cloud.baseUrl()); // every probe stays on this machine
        h.backends.setCloudApiKey(u"sk-deep"_s);
        QCOMPARE(h.backends.cloudService()->apiKey(), u"sk-deep"_s);
        h.backends.switchProvider(CloudProviderPreset::gemini);
        h.backends.switchProvider(CloudProviderPreset::deepseek);
        QCOMPARE(h.backends.cloudConfig().apiKey, u"sk-deep"_s);
        // A relaunch starts with the provider saved last.
        QCOMPARE(h.relaunch()->backends()->cloudConfig(), h.backends.cloudConfig());
    }

    // Gemini, then DeepSeek, then Gemini again, each user message answered after a
    // tool call, against the providers as they answer today (tests/data/providers),
    // whose rules refuse another's tool turn sent as it was built (what each
    // provider gets of the other's turns: tst_model_clients).
    void aConversationSwitchedBetweenProvidersKeepsGoing() {
        Harness h;
        ProviderReplayServer gemini(u"gemini"_s);
        ProviderReplayServer deepseek(u"deepseek"_s);
        const auto use = [&h](CloudProviderPreset preset, const ProviderReplayServer& server) {
            h.backends.useCloudConfigWithoutSaving(
                {preset, u"k"_s, server.baseUrl(), defaultModel(preset)});
        };
        const QString answer = u"The root folder holds the usual system directories."_s;
        use(CloudProviderPreset::gemini, gemini);
        QVERIFY(h.send(u"What is in the root folder?"_s));
        QCOMPARE(h.messages().last().content, answer);
        use(CloudProviderPreset::deepseek, deepseek);
        QVERIFY(h.send(u"And now?"_s));
        QCOMPARE(h.messages().last().content, answer);
        // The third message: DeepSeek calls the tool, Gemini is chosen while it runs.
        const QMetaObject::Connection switchOnCall = connect(
            h.vm->store(), &ConversationStore::messageAppended, this, [&](const QUuid&, int index) {
                if (h.messages().value(index).toolCall) {
                    use(CloudProviderPreset::gemini, gemini);
                }
            });
        QVERIFY(h.send(u"Once more, please."_s));
        disconnect(switchOnCall);
        QCOMPARE(h.messages().last().content, answer);
        QCOMPARE(gemini.refusals() + deepseek.refusals(), QStringList());
        QCOMPARE((QList{h.sent(gemini).size(), h.sent(deepseek).size()}), (QList<qsizetype>{3, 3}));
    }

    // Stop while a reply is written keeps what arrived, marked under it as stopped,
    // and runs no call whose arguments had not all come; while only reasoning had
    // come, the placeholder said it was thinking, and keeps today's stopped reply.
    void stopKeepsWhatWasWritten_data() { addJsonRows(u"core/chat_view_model.json"_s, u"stops"_s); }
    void stopKeepsWhatWasWritten() {
        QFETCH(QJsonObject, row);
        const QString kept = row["kept"].toString();
        const QString notice = row["notice"].toString();
        Harness h;
        h.vm->preferences()->setStreamReplies(true);
        const QJsonObject chunk{
            {"choices", QJsonArray{QJsonObject{{"index", 0}, {"delta", row["delta"]}}}}};
        // The rest never comes before the Stop.
        h.cloud.enqueue(FakeResponse::sse({QString::fromUtf8(jsonBytes(chunk)), "[DONE]"}, 600000));
        h.start(u"hi"_s);
        const bool thinking = notice.isEmpty();
        QTRY_VERIFY(thinking ? h.vm->replyThinkingSince() > 0
                             : h.messages().last().content == kept);
        QCOMPARE(h.vm->replyThinkingSince() > 0, thinking);
        h.vm->stopGeneration();
        QTRY_VERIFY(h.messages().last().content == kept && h.messages().last().notice == notice);
        QCOMPARE(h.vm->replyThinkingSince(), 0);
        QCOMPARE(contents(h.vm->currentConversation()), (QStringList{kGreeting, u"hi"_s, kept}));
    }

    void phoneChatsAreMirroredIntoOneConversation() {
        Harness h;
        QVERIFY(h.startServer());
        h.cloud.enqueue(FakeOpenAIServer::streamedText({u"Sunny [memory: 猫]"_s, u", 25°C"_s}, 20));
        const QString question = u"What is the weather like today in Shanghai?"_s;
        QCOMPARE(
            h.phoneChat(question.toUtf8()),
            "{\"content\":\"Sunny [memory: 猫]\"}\n{\"content\":\", 25°C\"}\n{\"done\":true}\n");
        const Conversation* phone = h.phoneConversation();
        QVERIFY(phone && h.store().conversations().first().id == phone->id);
        QCOMPARE(phone->title, u"📱 What is the weather like"_s);
        QTRY_COMPARE(contents(h.phoneConversation()),
                     (QStringList{question, u"Sunny [memory: 猫], 25°C"_s}));
        QVERIFY(h.vm->persona()->memoryFiles().isEmpty()); // the phone path records none
        // The phone's history reached the model behind the desktop's prompt, without tools.
        QCOMPARE(h.sent(h.cloud).value(0),
                 (QJsonArray{
                     QJsonObject{{"role", "system"}, {"content", h.vm->persona()->systemPrompt()}},
                     QJsonObject{{"role", "user"}, {"content", question}}}));
        QVERIFY(!h.cloud.lastRequest().json().contains("tools"));

        // A second message, once the desktop has chosen the local model: answered by
        // the backend the server started with, in the same conversation, brought
        // into view; the draft typed elsewhere stays behind.
        QVERIFY(h.chooseLocalModel());
        const QUuid desktop = h.store().conversations().last().id;
        h.vm->setCurrentConversationId(desktop);
        h.vm->setInputText(u"half a thought"_s);
        h.cloud.enqueue(FakeOpenAIServer::streamedText({u"Take an umbrella."_s}));
        QVERIFY(h.phoneChat("And tomorrow?").contains("Take an umbrella."));
        QCOMPARE(h.vm->currentConversationId(), h.phoneConversation()->id);
        QCOMPARE(h.vm->inputText(), QString());
        h.vm->sendMessage(); // nothing to send here: the draft went nowhere
        QTRY_COMPARE(h.phoneConversation()->messages.size(), 4);
        QCOMPARE(h.store().conversations().size(), 2);
        h.vm->setCurrentConversationId(desktop);
        QCOMPARE(h.vm->inputText(), u"half a thought"_s);
        // Deleted, it is made again for the next phone message.
        const QUuid first = h.phoneConversation()->id;
        h.vm->deleteConversation(first);
        h.cloud.enqueue(FakeOpenAIServer::streamedText({u"hi"_s}));
        h.phoneChat("two");
        QVERIFY(h.phoneConversation()->id != first);
    }

    // Sent, a draft is gone; deleted, its conversation's draft goes with it (each
    // conversation keeping its own draft: the phone chats' story).
    void aDraftGoesWhenSentOrDeleted() {
        Harness h;
        const QUuid first = *h.vm->currentConversationId();
        h.vm->setInputText(u"half a thought"_s);
        h.vm->newConversation(false);
        const QUuid second = *h.vm->currentConversationId();
        h.cloud.enqueue(reply(u"noted"_s));
        QVERIFY(h.send(u"another"_s));
        h.vm->setCurrentConversationId(first);
        QCOMPARE(h.vm->inputText(), u"half a thought"_s);
        h.vm->setCurrentConversationId(second);
        QCOMPARE(h.vm->inputText(), QString());
        h.vm->setCurrentConversationId(first);
        h.vm->deleteConversation(first);
        QCOMPARE(h.vm->inputText(), QString());
    }
};

QTEST_GUILESS_MAIN(ChatViewModelTest)
#include "tst_chat_view_model.moc"
