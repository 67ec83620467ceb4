#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

class ChatViewModel;
struct ChatMessage;
class FakeOllamaServer;
class FakeOpenAIServer;
class QJSEngine;

// A controller in a sandbox for view tests and screenshot scenes: its persona
// and settings live in a temporary folder and both model backends are scripted
// fake servers on localhost. Scenes and QML tests reach it as the singleton
// `TestHarness` to put the controller in the state they show.
class SceneHarness : public QObject {
    Q_OBJECT

public:
    // Creates the controller and hands it to the views (AppContext).
    explicit SceneHarness(QObject* parent = nullptr);
    ~SceneHarness() override;

    static SceneHarness* instance();

    ChatViewModel* viewModel() const { return m_viewModel.get(); }

    // Back to launch state: one empty conversation, idle, nothing open, the
    // cloud reachable and answering "OK", the local model installed.
    Q_INVOKABLE void reset();

    // Messages appended to the selected conversation.
    Q_INVOKABLE void addMessage(const QString& role, const QString& content);
    Q_INVOKABLE void addToolCall(const QString& tool, const QVariantMap& args);
    Q_INVOKABLE void addToolResult(const QString& tool, bool success, const QString& output);
    // `count` messages, user and agent taking turns.
    Q_INVOKABLE void addExchange(int count);
    Q_INVOKABLE void nameConversation(const QString& title);

    // The cloud model: replies that never come, or the next reply's text.
    Q_INVOKABLE void holdReplies();
    Q_INVOKABLE void answerWith(const QString& text);
    // The next reply calls `tool` with `args`; the ones after it are as before.
    Q_INVOKABLE void callToolNext(const QString& tool, const QVariantMap& args);
    // Every reply fails: with this status and body, or (status 0) with bytes
    // that are no HTTP answer at all.
    Q_INVOKABLE void failRepliesWith(int status, const QString& body);
    // The cloud probe's answer, then a probe of the active backend.
    Q_INVOKABLE void setCloudReachable(bool reachable);
    // The local server lists the model or not; or never answers (a model still loading).
    Q_INVOKABLE void setLocalModelInstalled(bool installed);
    Q_INVOKABLE void holdLocalProbe();

    // A file in the agent's folder that has a second name (a hard link); its path.
    Q_INVOKABLE QString fileWithTwoNames() const;

    // The controller's settings file.
    Q_INVOKABLE QString settingsFile() const {
        return m_dir.filePath(QStringLiteral("settings.conf"));
    }

private:
    void answerAsAtLaunch(); // the fakes' answers of a fresh start
    void append(const ChatMessage& message);

    QTemporaryDir m_dir;
    std::unique_ptr<FakeOpenAIServer> m_cloud;
    std::unique_ptr<FakeOllamaServer> m_ollama;
    std::unique_ptr<ChatViewModel> m_viewModel;
    int m_calls = 0;
};

// The harness the test runner or renderer made, as the singleton `TestHarness`
// (a wrapper, so that QML never constructs a second one).
struct SceneHarnessForeign {
    Q_GADGET
    QML_FOREIGN(SceneHarness)
    QML_NAMED_ELEMENT(TestHarness)
    QML_SINGLETON

public:
    static SceneHarness* create(QQmlEngine*, QJSEngine*);
};
