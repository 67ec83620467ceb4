#pragma once

// A controller with its own persona folder and settings file, talking to the
// scripted fake model servers; shared by the controller and bridge suites.

#include "core/chat_view_model.h"
#include "core/conversation_store.h"
#include "core/model_backends.h"
#include "support/fake_http_server.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

struct ControllerHarness {
    QTemporaryDir dir;
    FakeOpenAIServer cloud;
    FakeOllamaServer ollama;
    std::unique_ptr<ChatViewModel> viewModel;

    explicit ControllerHarness(const QString& soul = {}) {
        const QString personaDir = dir.filePath(QStringLiteral("persona"));
        if (!soul.isNull()) {
            QDir().mkpath(personaDir);
            QFile file(personaDir + QStringLiteral("/soul.md"));
            file.open(QIODevice::WriteOnly);
            file.write(soul.toUtf8());
        }
        ChatViewModelOptions options;
        options.personaDirectory = personaDir;
        options.settingsFile = settingsFile();
        options.ollamaBase = ollama.baseUrl();
        options.serverPort = 0;
        viewModel = std::make_unique<ChatViewModel>(options);
        viewModel->backends()->useCloudConfigWithoutSaving(
            {CloudProviderPreset::grok, QStringLiteral("test-key"), cloud.baseUrl(),
             QStringLiteral("grok-test")});
    }

    // In a folder of its own, which a test may fill up.
    QString settingsFolder() const { return dir.filePath(QStringLiteral("settings")); }
    QString settingsFile() const { return settingsFolder() + QStringLiteral("/settings.conf"); }

    ChatViewModel& vm() { return *viewModel; }
    ConversationStore& store() { return *viewModel->store(); }
    const Conversation& current() { return *viewModel->currentConversation(); }

    QList<RecordedRequest> chatRequests(const FakeHttpServer& server) const {
        QList<RecordedRequest> chats;
        for (const RecordedRequest& request : server.requests()) {
            if (request.method == "POST") {
                chats << request;
            }
        }
        return chats;
    }

    void send(const QString& text) {
        viewModel->setInputText(text);
        viewModel->sendMessage();
    }

    bool useLocalBackend() {
        ollama.setStandingResponse("GET", QStringLiteral("/api/tags"),
                                   FakeOllamaServer::tags({QStringLiteral("qwen2.5:3b")}));
        viewModel->backends()->switchBackend(AIBackend::local);
        return QTest::qWaitFor(
            [this] { return viewModel->backends()->activeBackend() == AIBackend::local; });
    }
};
