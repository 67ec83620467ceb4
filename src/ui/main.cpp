// The Emberglass desktop application: one controller, one window.

#include "backend/app_context.h"
#include "core/chat_view_model.h"
#include "qml_modules.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Emberglass"));
    QGuiApplication::setOrganizationName(QStringLiteral("Emberglass"));
    QGuiApplication::setDesktopFileName(QStringLiteral("emberglass"));
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    // Created with the window and kept for the life of the process.
    ChatViewModel viewModel;
    AppContext::setViewModel(&viewModel);

    QQmlApplicationEngine engine;
    AppContext::prepareEngine(engine);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
        [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/Emberglass/Shell/Main.qml")));
    return app.exec();
}
