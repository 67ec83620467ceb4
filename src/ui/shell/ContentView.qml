pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Theme

// The main window: the conversation sidebar beside the chat, and the inspector
// sliding in over the chat. The window's keyboard shortcuts live here.
Rectangle {
    id: content

    property alias chatArea: chatArea
    property alias sidebar: sidebar
    property alias chat: chat

    color: Theme.background

    // The five panels, in the order of their buttons and of Ctrl+1 … Ctrl+5.
    readonly property list<int> panels: [InspectorSidebarPanel.Value.mobile, InspectorSidebarPanel.Value.model,
        InspectorSidebarPanel.Value.persona, InspectorSidebarPanel.Value.settings, InspectorSidebarPanel.Value.about]

    // Selected text takes Escape before the panel's shortcut sees it; the key
    // still comes up here unused, and closes the panel all the same.
    Keys.onEscapePressed: event => {
        if (ChatViewModel.inspectorPanel !== undefined) {
            ChatViewModel.closeInspector()
        } else {
            event.accepted = false
        }
    }

    Shortcut {
        sequence: "Ctrl+N"
        onActivated: ChatViewModel.newConversation(false)
    }
    Shortcut {
        sequence: "Ctrl+L"
        onActivated: chat.focusInput(Qt.ShortcutFocusReason)
    }
    Repeater {
        model: content.panels
        Item {
            id: panelShortcut
            required property int index
            required property int modelData
            Shortcut {
                sequence: "Ctrl+" + (panelShortcut.index + 1)
                onActivated: ChatViewModel.togglePanel(panelShortcut.modelData)
            }
        }
    }

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
            onOpenRequested: chat.focusInput(Qt.OtherFocusReason)
        }

        Item {
            id: chatArea
            objectName: "chatArea"
            SplitView.minimumWidth: 520
            SplitView.minimumHeight: 400
            SplitView.fillWidth: true

            ChatView {
                id: chat
                objectName: "chatView"
                anchors.fill: parent
            }

            InspectorOverlay {
                objectName: "inspectorOverlay"
                anchors.fill: parent
                // A panel that closes or changes while it holds the focus hands
                // it back to the input field, not to nowhere.
                onFocusReleased: chat.focusInput(Qt.OtherFocusReason)
            }
        }
    }
}
