import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// The local server answers but does not have the model.
ContentView {
    width: 940
    height: 680
    readonly property bool ready: ChatViewModel.localModelSetup.modelLoadError.length > 0

    Component.onCompleted: {
        TestHarness.setLocalModelInstalled(false)
        ChatViewModel.backends.switchBackend(AIBackend.Value.local)
    }
}
