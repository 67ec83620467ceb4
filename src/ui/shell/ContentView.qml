pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Common
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

    Keys.onPressed: event => event.accepted = Keyboard.pressFocusedButton(event, Window.activeFocusItem)

    // Escape that a field passed on unused comes up here, and closes the panel
    // all the same. With no panel open, and no popup or editor that took it
    // first, it stops a reply.
    Keys.onEscapePressed: event => {
        if (ChatViewModel.inspectorPanel !== undefined) {
            ChatViewModel.closeInspector()
        } else if (ChatViewModel.isGenerating) {
            ChatViewModel.stopGeneration()
        } else {
            event.accepted = false
        }
    }

    // The window's shortcuts hold wherever the focus is, selected text too.
    Shortcut {
        sequence: "Ctrl+N"
        context: Qt.ApplicationShortcut
        onActivated: ChatViewModel.newConversation(false)
    }
    Shortcut {
        sequence: "Ctrl+L"
        context: Qt.ApplicationShortcut
        onActivated: chat.focusInput(Qt.ShortcutFocusReason)
    }
    FocusRegions {
        objectName: "focusRegions"
        regions: [
            { area: sidebar, enter: reason => sidebar.list.forceActiveFocus(reason) },
            { area: chat.transcript, enter: reason => chat.focusTranscript(reason) },
            { area: chat.inputBar, enter: reason => chat.focusInput(reason) },
            { area: overlay, enter: reason => overlay.focusPanel(reason) }
        ]
    }
    Repeater {
        model: content.panels
        Item {
            id: panelShortcut
            required property int index
            required property int modelData
            Shortcut {
                sequence: "Ctrl+" + (panelShortcut.index + 1)
                context: Qt.ApplicationShortcut
                onActivated: {
                    overlay.openReason = Qt.ShortcutFocusReason
                    ChatViewModel.togglePanel(panelShortcut.modelData)
                }
            }
        }
    }

    // Files dropped anywhere on the window: their paths go into the message.
    DropArea {
        id: drop
        objectName: "fileDrop"
        anchors.fill: parent
        z: 1
        onEntered: drag => drag.accepted = drag.hasUrls
        onDropped: drop => {
            if (drop.hasUrls) {
                chat.insertPaths(InputPaths.text(drop.urls))
                drop.acceptProposedAction()
            }
        }

        Rectangle {
            objectName: "dropHint"
            anchors.fill: parent
            anchors.margins: 6
            visible: drop.containsDrag
            radius: 12
            color: Theme.tint(Theme.accent, 0.06)
            border.width: 2
            border.color: Theme.accent

            Text {
                anchors.centerIn: parent
                text: Texts.dropHint
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textLarge
                color: Theme.accent
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
            SplitView.preferredWidth: WindowMemory.sidebarWidth
            SplitView.maximumWidth: 380
            onWidthChanged: WindowMemory.sidebarWidth = width
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
                id: overlay
                objectName: "inspectorOverlay"
                anchors.fill: parent
                // A panel that closes while it holds the focus hands it back to
                // where it was before, or to the input field, not to nowhere.
                onFocusReleased: item => {
                    if (item) {
                        item.forceActiveFocus(Qt.OtherFocusReason)
                    } else {
                        chat.focusInput(Qt.OtherFocusReason)
                    }
                }
            }
        }
    }
}
