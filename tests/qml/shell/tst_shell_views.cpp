// Runs the window's QML tests against a controller whose model servers are
// scripted fakes (see SceneHarness).

#include "scene_harness.h"
#include "ui/backend/app_context.h"
#include "ui/qml_modules.h"

#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQuickTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(Emberglass_TestHarnessPlugin)

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

QUICK_TEST_MAIN_WITH_SETUP(tst_shell_views, Setup)

#include "tst_shell_views.moc"
