import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// The model panel open over the chat, at the window's minimum width.
ContentView {
    width: 800
    height: 560

    Component.onCompleted: {
        TestHarness.addExchange(4)
        ChatViewModel.togglePanel(InspectorSidebarPanel.Value.model)
    }
}
