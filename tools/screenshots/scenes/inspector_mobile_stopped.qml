import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The mobile panel with the phone server stopped.
InspectorSidebarView {
    width: 440
    height: 680
    panel: InspectorSidebarPanel.Value.mobile
}
