import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// Keyboard focus on the MODEL button, reached with Tab: the accent ring.
ContentView {
    id: scene
    width: 940
    height: 680
    property bool ready: false

    function find(item, name) {
        const children = item.children || []
        for (let i = 0; i < children.length; ++i) {
            const child = children[i]
            if (child.objectName === name) {
                return child
            }
            const found = find(child, name)
            if (found) {
                return found
            }
        }
        return null
    }

    Component.onCompleted: {
        TestHarness.nameConversation("Plan the trip")
        ChatViewModel.newConversation(false)
        TestHarness.addExchange(2)
        Qt.callLater(focusButton)
    }

    function focusButton() {
        const button = find(scene, "modelButton")
        button.forceActiveFocus(Qt.TabFocusReason)
        ready = button.activeFocus
        if (!ready) {
            Qt.callLater(focusButton)
        }
    }
}
