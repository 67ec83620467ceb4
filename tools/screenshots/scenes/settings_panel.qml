import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The settings panel as it opens the first time: asking on, the sandbox off.
InspectorSidebarView {
    width: 440
    height: 520
    panel: InspectorSidebarPanel.Value.settings
}
