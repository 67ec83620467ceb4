// Runs the inspector, persona panel and onboarding QML tests against a
// controller whose model servers are scripted fakes (see SceneHarness).

#include "scene_harness.h"
#include "ui/backend/app_context.h"

#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(Emberglass_BackendPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ThemePlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_CommonPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_InspectorPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_OnboardingPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_TestHarnessPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_InspectorTestSupportPlugin)

class Setup : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void applicationAvailable() {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        m_harness = std::make_unique<SceneHarness>();
    }
    void qmlEngineAvailable(QQmlEngine* engine) { AppContext::prepareEngine(*engine); }

private:
    std::unique_ptr<SceneHarness> m_harness;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_inspector_views, Setup)

#include "main.moc"
