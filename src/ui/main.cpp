// The Emberglass desktop application: one controller, one window.

#include "backend/app_context.h"
#include "backend/app_icon_painter.h"
#include "backend/window_placement.h"
#include "core/chat_view_model.h"
#include "qml_modules.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPalette>
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
    // Light whatever the desktop's scheme: the few control parts the views do
    // not draw themselves (tool tips, menus, scroll bars) take these colours.
    QPalette light(QColor(242, 242, 240), QColor(250, 250, 247));
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, QColor(26, 26, 26));
    light.setColor(QPalette::WindowText, QColor(26, 26, 26));
    light.setColor(QPalette::ButtonText, QColor(26, 26, 26));
    light.setColor(QPalette::ToolTipBase, Qt::white);
    light.setColor(QPalette::ToolTipText, QColor(26, 26, 26));
    QGuiApplication::setPalette(light);

    // Created with the window and kept for the life of the process.
    ChatViewModel viewModel;
    AppContext::setViewModel(&viewModel);

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
    // Sized to the screen it opens on before it is first shown.
    WindowPlacement::placeOnScreen(window);
    window->show();
    return app.exec();
}
