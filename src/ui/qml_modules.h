#pragma once

// Every QML module of the window. They are linked in statically, so each
// program that shows the window includes this in exactly one source file.

#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Emberglass_BackendPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ThemePlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_CommonPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ChatPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_InspectorPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_OnboardingPlugin)
Q_IMPORT_QML_PLUGIN(Emberglass_ShellPlugin)
