import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The model panel with the local model loaded.
InspectorSidebarView {
    width: 440
    height: 680
    panel: "model"
    readonly property bool ready: ChatViewModel.activeBackend === "Local Qwen"

    Component.onCompleted: ChatViewModel.switchBackend("Local Qwen")
}
