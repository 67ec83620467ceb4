import QtQuick
import Emberglass.Backend
import Emberglass.Inspector
import Emberglass.TestHarness

// Local Qwen chosen while the model is missing: the cloud stays active, and the
// local settings show the error and the download button.
InspectorSidebarView {
    id: inspector
    width: 440
    height: 680
    panel: InspectorSidebarPanel.Value.model
    readonly property bool ready: ChatViewModel.localModelSetup.modelLoadError.length > 0

    Component.onCompleted: {
        TestHarness.setLocalModelInstalled(false)
        inspector.content.choose(AIBackend.Value.local)
    }
}
