#pragma once

// The main window's content on a controller in a sandbox, in the benchmark's
// process: what the transcript benchmarks draw frames of.

#include "core/chat_view_model.h"
#include "core/conversation_store.h"
#include "ui/backend/app_context.h"

#include <QCoreApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

class WindowFixture {
public:
    WindowFixture() {
        ChatViewModelOptions options;
        options.personaDirectory = m_dir.filePath(QStringLiteral("persona"));
        options.settingsFile = m_dir.filePath(QStringLiteral("settings.conf"));
        options.ollamaBase = QStringLiteral("http://127.0.0.1:9");
        options.serverPort = 0;
        m_viewModel = std::make_unique<ChatViewModel>(options);
        AppContext::setViewModel(m_viewModel.get());
        AppContext::prepareEngine(m_engine);
        QQmlComponent component(&m_engine,
                                QUrl(QStringLiteral("qrc:/Emberglass/Shell/ContentView.qml")));
        m_content.reset(qobject_cast<QQuickItem*>(component.create()));
        m_window.resize(940, 680);
        m_content->setSize(QSizeF(940, 680));
        m_content->setParentItem(m_window.contentItem());
        QObject::connect(&m_window, &QQuickWindow::frameSwapped, [this] { ++m_frames; });
        m_window.show();
        render();
    }

    ~WindowFixture() {
        m_content.reset();
        AppContext::setViewModel(nullptr);
    }

    ChatViewModel& viewModel() { return *m_viewModel; }
    ConversationStore& store() { return *m_viewModel->store(); }
    QUuid conversation() const { return *m_viewModel->currentConversationId(); }
    // An item of the content by its objectName ("transcript", say).
    QQuickItem* item(const char* name) const { return m_content->findChild<QQuickItem*>(name); }

    // Polish, sync and render one frame as the window would for the screen.
    // The software renderer draws through the window's own render loop into
    // its backing store, redrawing only what changed since the last frame;
    // another renderer may draw on a thread of its own, so its frame is
    // grabbed.
    void render() {
        QCoreApplication::processEvents();
        if (QQuickWindow::graphicsApi() != QSGRendererInterface::Software) {
            benchmark::DoNotOptimize(m_window.grabWindow());
            return;
        }
        const int framesBefore = m_frames;
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(&m_window, &request);
        if (m_frames != framesBefore + 1) {
            qFatal("the window drew %d frames for one update request", m_frames - framesBefore);
        }
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ChatViewModel> m_viewModel;
    QQmlEngine m_engine;
    std::unique_ptr<QQuickItem> m_content;
    QQuickWindow m_window;
    int m_frames = 0;
};
