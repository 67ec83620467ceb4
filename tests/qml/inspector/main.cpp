// Runs the inspector, persona panel and onboarding QML tests against a
// controller whose model servers are scripted fakes (see SceneHarness).

#include "harness_setup.h"

#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(Emberglass_BackendPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ThemePlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_CommonPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ChatPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_InspectorPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_OnboardingPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_TestHarnessPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_InspectorTestSupportPlugin)

QUICK_TEST_MAIN_WITH_SETUP(tst_inspector_views, HarnessSetup)
