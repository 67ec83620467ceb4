import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// The local backend is in use but its server stopped answering.
ContentView {
    width: 940
    height: 680
    readonly property bool ready: ChatViewModel.backends.activeBackend === AIBackend.Value.local
                                  && !ChatViewModel.backends.serviceAvailable

    Component.onCompleted: {
        ChatViewModel.backends.switchBackend(AIBackend.Value.local)
    }

    Connections {
        target: ChatViewModel.backends
        function onActiveBackendChanged() {
            TestHarness.setLocalModelInstalled(false)
            ChatViewModel.backends.testConnection()
        }
    }
}
