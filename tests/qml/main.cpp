// Runs the window's QML tests against a controller whose model servers are
// scripted fakes (see SceneHarness).

#include "harness_setup.h"
#include "ui/qml_modules.h"

#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(Emberglass_TestHarnessPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ViewTestSupportPlugin)

QUICK_TEST_MAIN_WITH_SETUP(tst_views, HarnessSetup)
