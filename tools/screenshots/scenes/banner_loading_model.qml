import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// Switching to the local model while its server is being asked.
ContentView {
    width: 940
    height: 680
    readonly property bool ready: ChatViewModel.localModelSetup.isLoadingModel

    Component.onCompleted: {
        TestHarness.holdLocalProbe()
        ChatViewModel.backends.switchBackend(AIBackend.Value.local)
    }
}
