import QtQuick
import QtQuick.Controls
import Emberglass.Chat
import Emberglass.Theme

// The main window: the conversation sidebar beside the chat, and the inspector
// sliding in over the chat.
Rectangle {
    id: content

    property alias chatArea: chatArea
    property alias sidebar: sidebar

    color: Theme.background

    SplitView {
        anchors.fill: parent
        orientation: Qt.Horizontal

        handle: Rectangle {
            implicitWidth: 1
            color: Theme.border
            // A wider grip than the line it draws.
            containmentMask: Item {
                x: -3
                width: 7
                height: parent ? parent.height : 0
            }
        }

        SidebarView {
            id: sidebar
            objectName: "sidebar"
            SplitView.minimumWidth: 240
            SplitView.preferredWidth: 250
            SplitView.maximumWidth: 380
        }

        Item {
            id: chatArea
            objectName: "chatArea"
            SplitView.minimumWidth: 520
            SplitView.minimumHeight: 400
            SplitView.fillWidth: true

            ChatView {
                anchors.fill: parent
            }

            InspectorOverlay {
                objectName: "inspectorOverlay"
                anchors.fill: parent
            }
        }
    }
}
