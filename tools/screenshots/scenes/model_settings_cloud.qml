import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The model panel with the cloud backend after a successful connection test.
InspectorSidebarView {
    width: 440
    height: 780
    panel: InspectorSidebarPanel.Value.model
    readonly property bool ready: ChatViewModel.backends.serviceChecked && ChatViewModel.backends.serviceAvailable

    Component.onCompleted: ChatViewModel.backends.testConnection()
}
