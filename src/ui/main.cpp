// The Emberglass desktop application: one controller, one window.

#include "backend/app_context.h"
#include "core/chat_view_model.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Emberglass_BackendPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ThemePlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_CommonPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ChatPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_InspectorPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_OnboardingPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ShellPlugin)

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
