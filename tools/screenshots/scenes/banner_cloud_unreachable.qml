import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// The cloud provider does not answer its probe.
ContentView {
    width: 940
    height: 680
    readonly property bool ready: !ChatViewModel.backends.serviceAvailable

    Component.onCompleted: {
        TestHarness.setCloudReachable(false)
    }
}
