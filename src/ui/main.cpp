// The Emberglass desktop application: one controller, one window.

#include "core/chat_view_model.h"
#include "ui/backend/app_context.h"
#include "ui/backend/app_icon_painter.h"
#include "ui/backend/window_memory.h"
#include "ui/qml_modules.h"
#include "ui/theme/palette.h"

#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Emberglass"));
    QGuiApplication::setOrganizationName(QStringLiteral("Emberglass"));
    QGuiApplication::setDesktopFileName(QStringLiteral("emberglass"));
    QGuiApplication::setWindowIcon(AppIconPainter::windowIcon());
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QGuiApplication::setPalette(Palette::application());

    // Created with the window and kept for the life of the process.
    ChatViewModel viewModel;
    AppContext::setViewModel(&viewModel);
    WindowMemory windowMemory(viewModel.userDefaults());
    AppContext::setWindowMemory(&windowMemory);

    QQmlApplicationEngine engine;
    AppContext::prepareEngine(engine);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
        [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/Emberglass/Shell/Main.qml")));
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().value(0));
    if (window == nullptr) {
        return 1;
    }
    // Where it was left, or sized to the screen it opens on, before it is first shown.
    windowMemory.place(window);
    window->show();
    return app.exec();
}
