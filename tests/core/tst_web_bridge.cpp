// Phone chats mirrored into the desktop: the real phone server on a free port,
// a scripted model behind it, requests as the phone page sends them.

#include "controller_harness.h"
#include "core/chat_view_model.h"
#include "core/conversation_store.h"
#include "core/web_bridge.h"
#include "persona/persona_manager.h"
#include "support/fake_http_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

struct Harness : ControllerHarness {
    QNetworkAccessManager network;

    bool startServer() {
        viewModel->toggleServer();
        return QTest::qWaitFor([this] { return viewModel->isServerRunning(); });
    }

    // Posts a phone history and returns the whole streamed answer once it ends.
    QByteArray phoneChat(const QStringList& userTexts) {
        QJsonArray messages;
        for (const QString& text : userTexts) {
            messages.append(QJsonObject{{QStringLiteral("role"), QStringLiteral("user")},
                                        {QStringLiteral("content"), text}});
        }
        QUrl url(viewModel->serverURL().value_or(QString()));
        url.setPath(QStringLiteral("/api/chat"));
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        QNetworkReply* reply =
            network.post(request, QJsonDocument(QJsonObject{{QStringLiteral("messages"), messages}})
                                      .toJson(QJsonDocument::Compact));
        if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000)) {
            return {};
        }
        reply->deleteLater();
        return reply->readAll();
    }

    const Conversation* phoneConversation() {
        const auto id = viewModel->webBridge()->webConversationId();
        return id ? store().find(*id) : nullptr;
    }
};

} // namespace

class WebBridgeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstAndSecondPhoneMessages() {
        Harness h;
        QVERIFY(h.startServer());
        QVERIFY(h.vm().serverURL()->startsWith(QStringLiteral("http://")));
        QVERIFY(h.vm().serverURL()->contains(QStringLiteral("/?key=")));

        h.cloud.enqueue(FakeOpenAIServer::streamedText(
            {QStringLiteral("Sunny"), QStringLiteral(", 25°C")}, 20));
        const QString question = QStringLiteral("What is the weather like today in Shanghai?");
        const QByteArray answer = h.phoneChat({question});
        QCOMPARE(
            answer,
            QByteArray("{\"content\":\"Sunny\"}\n{\"content\":\", 25°C\"}\n{\"done\":true}\n"));

        const Conversation* phone = h.phoneConversation();
        QVERIFY(phone != nullptr);
        QCOMPARE(h.store().conversations().first().id, phone->id);
        QCOMPARE(h.vm().currentConversationId(), phone->id);
        QCOMPARE(phone->title, QStringLiteral("📱 What is the weather like"));
        QCOMPARE(phone->messages.size(), 2);
        QCOMPARE(phone->messages[0].content, question);
        QTRY_COMPARE(h.phoneConversation()->messages[1].content, QStringLiteral("Sunny, 25°C"));

        // The phone's own history reached the model behind the desktop's system prompt.
        const QJsonArray sent = h.cloud.lastRequest().json()[QStringLiteral("messages")].toArray();
        QCOMPARE(sent[0][QStringLiteral("content")].toString(), h.vm().persona()->systemPrompt());
        QCOMPARE(sent[1][QStringLiteral("content")].toString(), question);
        QVERIFY(!h.cloud.lastRequest().json().contains(QStringLiteral("tools")));

        // A second message: same conversation and title, brought back into view.
        const QUuid launch = h.store().conversations().last().id;
        h.vm().setCurrentConversationId(launch);
        h.cloud.enqueue(FakeOpenAIServer::streamedText({QStringLiteral("Take an umbrella.")}));
        h.phoneChat({question, QStringLiteral("And tomorrow?")});
        QCOMPARE(h.vm().currentConversationId(), h.phoneConversation()->id);
        QCOMPARE(h.phoneConversation()->title, QStringLiteral("📱 What is the weather like"));
        QTRY_COMPARE(h.phoneConversation()->messages.size(), 4);
        QTRY_COMPARE(h.phoneConversation()->messages[3].content,
                     QStringLiteral("Take an umbrella."));
        QCOMPARE(h.store().conversations().size(), 2);
    }

    void aDeletedPhoneConversationIsMadeAgain() {
        Harness h;
        QVERIFY(h.startServer());
        h.cloud.setStandingResponse("POST", QStringLiteral("/v1/chat/completions"),
                                    FakeOpenAIServer::streamedText({QStringLiteral("hi")}));
        h.phoneChat({QStringLiteral("one")});
        const QUuid first = h.phoneConversation()->id;
        h.vm().deleteConversation(first);
        h.phoneChat({QStringLiteral("two")});
        QVERIFY(h.phoneConversation()->id != first);
        QCOMPARE(h.phoneConversation()->title, QStringLiteral("📱 two"));
        QCOMPARE(h.store().conversations().first().id, h.phoneConversation()->id);
    }

    void piecesAreDroppedWhenTheMirrorNoLongerEndsWithTheReply() {
        Harness h;
        WebBridge& bridge = *h.vm().webBridge();
        bridge.appendWebAssistantToken(
            QStringLiteral("nowhere to go")); // no phone conversation yet
        bridge.receiveWebUserMessage(QStringLiteral("  untrimmed  "));
        const QUuid id = *bridge.webConversationId();
        QCOMPARE(h.store().find(id)->messages[0].content, QStringLiteral("  untrimmed  "));
        bridge.appendWebAssistantToken(QStringLiteral("kept"));
        h.store().appendMessage(
            id, ChatMessage::make(Role::user, QStringLiteral("typed on the desktop")));
        bridge.appendWebAssistantToken(QStringLiteral(" dropped"));
        QCOMPARE(h.store().find(id)->messages[1].content, QStringLiteral("kept"));
        QCOMPARE(h.store().find(id)->messages.last().content,
                 QStringLiteral("typed on the desktop"));
    }

    void thePhoneKeepsTheBackendActiveWhenTheServerStarted() {
        Harness h;
        h.ollama.setStandingResponse("GET", QStringLiteral("/api/tags"),
                                     FakeOllamaServer::tags({QStringLiteral("qwen2.5:3b")}));
        h.vm().backends()->switchBackend(AIBackend::local);
        QTRY_COMPARE(h.vm().backends()->activeBackend(), AIBackend::local);
        QVERIFY(h.startServer());
        h.vm().backends()->switchBackend(AIBackend::cloud);
        h.ollama.enqueue("POST", QStringLiteral("/api/chat"),
                         FakeOllamaServer::streamedText({QStringLiteral("local says hi")}));
        const QByteArray answer = h.phoneChat({QStringLiteral("who answers?")});
        QVERIFY(answer.contains("local says hi"));
        for (const RecordedRequest& request : h.cloud.requests()) {
            QVERIFY(request.method != "POST");
        }
    }

    void phoneRepliesRecordNoMemory() {
        Harness h;
        QVERIFY(h.startServer());
        h.cloud.enqueue(
            FakeOpenAIServer::streamedText({QStringLiteral("Noted [memory: 用户喜欢猫]")}));
        h.phoneChat({QStringLiteral("I like cats")});
        QTRY_VERIFY(
            h.phoneConversation()->messages[1].content.contains(QStringLiteral("[memory:")));
        QVERIFY(h.vm().persona()->memoryFiles().isEmpty());
    }

    void theButtonStartsAndStops() {
        Harness h;
        QVERIFY(h.startServer());
        const QString firstUrl = h.vm().serverURL().value_or(QString());
        QVERIFY(!firstUrl.isEmpty());
        h.vm().toggleServer();
        QTRY_VERIFY(!h.vm().isServerRunning());
        QVERIFY(!h.vm().serverURL().has_value());
        // And again: a fresh server with a fresh key.
        QVERIFY(h.startServer());
        QVERIFY(h.vm().serverURL()->contains(QStringLiteral("key=")));
        QVERIFY(*h.vm().serverURL() != firstUrl);
    }
};

QTEST_GUILESS_MAIN(WebBridgeTest)
#include "tst_web_bridge.moc"
