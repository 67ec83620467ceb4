#pragma once

#include "scene_harness.h"
#include "ui/backend/app_context.h"

#include <QObject>
#include <QQmlEngine>
#include <QQuickStyle>

#include <memory>

// The set-up object of a Qt Quick Test runner for the window's views:
// `QUICK_TEST_MAIN_WITH_SETUP(name, HarnessSetup)`. The harness (and with it
// the controller) exists before the first engine and outlives every one.
class HarnessSetup : public QObject {
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
