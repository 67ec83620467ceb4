import QtQuick
import Emberglass.Backend
import Emberglass.Inspector
import Emberglass.TestHarness

// Local Qwen chosen while the model is missing: the cloud stays active, and the
// local settings show the error and the download button.
Item {
    width: 440
    height: 680
    readonly property bool ready: content.item !== null && ChatViewModel.modelLoadError.length > 0

    // The harness first, then the views that read the controller.
    Component.onCompleted: {
        TestHarness.setLocalModelInstalled(false)
        content.active = true
        content.item.content.choose("Local Qwen")
    }

    Loader {
        id: content
        anchors.fill: parent
        active: false
        sourceComponent: InspectorSidebarView {
            panel: "model"
        }
    }
}
