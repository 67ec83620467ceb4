import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The model panel with the local model loaded.
InspectorSidebarView {
    width: 440
    height: 680
    panel: InspectorSidebarPanel.Value.model
    readonly property bool ready: ChatViewModel.backends.activeBackend === AIBackend.Value.local

    Component.onCompleted: ChatViewModel.backends.switchBackend(AIBackend.Value.local)
}
