import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The model panel with the cloud backend after a successful connection test.
InspectorSidebarView {
    width: 440
    height: 780
    panel: "model"
    readonly property bool ready: ChatViewModel.serviceChecked && ChatViewModel.serviceAvailable

    Component.onCompleted: ChatViewModel.testConnection()
}
