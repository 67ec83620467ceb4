import QtQuick
import Emberglass.Backend
import Emberglass.Shell

// The main window with an empty conversation: the boot screen.
ContentView {
    width: 940
    height: 680
    Component.onCompleted: ChatViewModel.newConversation(false)
}
