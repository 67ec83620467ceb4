pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The conversations, newest first, and the buttons that open the inspector
// panels.
Rectangle {
    id: sidebar

    property alias list: list
    property alias searchField: searchField
    // The conversation the export dialog writes.
    property string exportingId
    // What the last export did, shown at the bottom until the next one.
    property string exportNotice
    // Moves on every half minute, so that "2 minutes ago" becomes "3 minutes
    // ago"; each row reads the clock itself when it words its date.
    property int clockTick: 0

    // Return on a conversation of the list: the user wants to write in it.
    signal openRequested()

    color: Theme.background
    Accessible.role: Accessible.Pane
    Accessible.name: Texts.sidebarAccessibleName

    Timer {
        interval: 30000
        repeat: true
        running: true
        onTriggered: sidebar.clockTick += 1
    }

    // The row of a conversation in the list, or -1.
    function rowOf(id) {
        const model = ChatViewModel.shownConversations
        for (let row = 0; row < model.count; ++row) {
            if (model.data(model.index(row, 0), ConversationListModel.ConversationIdRole) === id) {
                return row
            }
        }
        return -1
    }

    function selectRow(row) {
        const model = ChatViewModel.shownConversations
        if (model.count === 0) {
            return
        }
        const clamped = Math.max(0, Math.min(model.count - 1, row))
        ChatViewModel.currentConversationId =
            model.data(model.index(clamped, 0), ConversationListModel.ConversationIdRole)
    }

    function exportConversation(id, title) {
        sidebar.exportingId = id
        exportDialog.selectedFile = "file:///" + title.replace(/[\/:*?"<>|]/g, "_") + ".md"
        exportDialog.open()
    }

    Shortcut {
        sequence: "Ctrl+F"
        onActivated: sidebar.searchField.forceActiveFocus(Qt.ShortcutFocusReason)
    }

    // While the deletion can be taken back; a field's own Ctrl+Z comes first.
    Shortcut {
        sequence: "Ctrl+Z"
        enabled: ChatViewModel.deletionUndo.available
        onActivated: ChatViewModel.deletionUndo.undo()
    }

    FileDialog {
        id: exportDialog
        objectName: "exportDialog"
        title: Texts.exportDialogTitle
        fileMode: FileDialog.SaveFile
        defaultSuffix: "md"
        nameFilters: [Texts.markdownFiles]
        onAccepted: ChatViewModel.conversationExport.exportTo(sidebar.exportingId, selectedFile)
    }

    Connections {
        target: ChatViewModel.conversationExport
        function onFinished(path, error) {
            sidebar.exportNotice = error.length > 0 ? Texts.couldNotExport(error)
                                                    : Texts.exportedTo(path)
        }
    }

    // Keeps the selected row in view, however it was selected.
    Connections {
        target: ChatViewModel
        function onCurrentConversationIdChanged() {
            const row = sidebar.rowOf(ChatViewModel.currentConversationId)
            if (row >= 0) {
                list.positionViewAtIndex(row, ListView.Contain)
            }
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Column {
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            Layout.topMargin: 16
            Layout.bottomMargin: 12
            spacing: 3

            Text {
                Accessible.role: Accessible.Heading
                Accessible.name: text
                Accessible.focusable: false
                text: Texts.productName
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textFootnote
                font.bold: true
                font.letterSpacing: 1
                color: Theme.textPrimary
            }
            // A decoration under the name, kept out of the screen reader's
            // tree: Qt 6.4 makes every static text in it focusable.
            Text {
                Accessible.ignored: true
                text: Texts.sidebarSubtitle
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textTiny
                font.weight: Font.Medium
                font.letterSpacing: 2
                color: Theme.textTertiary
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            Layout.bottomMargin: 8
            spacing: 6

            Rectangle {
                implicitWidth: 6
                implicitHeight: 6
                color: Theme.accent
            }
            Text {
                text: Texts.sessions
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textCaption
                font.bold: true
                font.letterSpacing: 2
                color: Theme.textTertiary
            }
            Item {
                Layout.fillWidth: true
            }
            NewSessionButton {
                objectName: "newSessionButton"
                onClicked: ChatViewModel.newConversation(false)
            }
        }

        TextField {
            id: searchField
            objectName: "searchField"
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.bottomMargin: 6
            placeholderText: Texts.searchPlaceholder
            text: ChatViewModel.search.text
            onTextEdited: ChatViewModel.search.text = text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textCallout
            color: Theme.textPrimary
            leftPadding: 10
            activeFocusOnTab: true
            Accessible.name: Texts.searchAccessibleName
            Accessible.description: Texts.searchAccessibleDescription
            background: Rectangle {
                radius: 8
                color: Theme.surface
                border.width: 1
                border.color: searchField.activeFocus ? Theme.accent : Theme.border
            }
            Keys.onEscapePressed: event => {
                if (text.length > 0) {
                    ChatViewModel.search.text = ""
                } else {
                    list.forceActiveFocus(Qt.ShortcutFocusReason)
                }
            }
            // Down and Return go on to the matches.
            Keys.onDownPressed: list.forceActiveFocus(Qt.TabFocusReason)
            Keys.onReturnPressed: {
                if (list.count > 0) {
                    sidebar.selectRow(0)
                    list.forceActiveFocus(Qt.TabFocusReason)
                }
            }
        }

        Text {
            objectName: "noMatches"
            Layout.leftMargin: 16
            visible: ChatViewModel.search.active && list.count === 0
            text: Texts.noMatches
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textSmall
            color: Theme.textTertiary
        }

        ListView {
            id: list
            objectName: "conversationList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            leftMargin: 8
            rightMargin: 8
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: ChatViewModel.shownConversations
            currentIndex: -1
            ScrollBar.vertical: ScrollBar {
                Accessible.name: Texts.scrollBarName(Texts.sessionsAccessibleName)
            }

            // Reached with Tab (a click on a row leaves the focus where it
            // was): the arrows, Home and End select, Delete deletes at once,
            // the menu key opens the row's menu, Return goes to the input.
            activeFocusOnTab: true
            keyNavigationEnabled: false
            Accessible.role: Accessible.List
            Accessible.name: Texts.sessionsAccessibleName
            Accessible.description: Texts.sessionsAccessibleDescription

            Keys.onPressed: event => {
                const row = sidebar.rowOf(ChatViewModel.currentConversationId)
                const page = Math.max(1, Math.floor(list.height / 46) - 1)
                switch (event.key) {
                case Qt.Key_Up: sidebar.selectRow(row < 0 ? 0 : row - 1); break
                case Qt.Key_Down: sidebar.selectRow(row + 1); break
                case Qt.Key_PageUp: sidebar.selectRow(row - page); break
                case Qt.Key_PageDown: sidebar.selectRow(row + page); break
                case Qt.Key_Home: sidebar.selectRow(0); break
                case Qt.Key_End: sidebar.selectRow(list.count - 1); break
                case Qt.Key_Delete:
                    if (row >= 0) {
                        ChatViewModel.deleteConversation(ChatViewModel.currentConversationId)
                    }
                    break
                case Qt.Key_Menu:
                    list.openMenuAt(row)
                    break
                case Qt.Key_F2:
                    list.renameAt(row)
                    break
                case Qt.Key_F10:
                    if (!(event.modifiers & Qt.ShiftModifier)) {
                        return
                    }
                    list.openMenuAt(row)
                    break
                case Qt.Key_Return:
                case Qt.Key_Enter:
                    sidebar.openRequested()
                    break
                default:
                    return
                }
                event.accepted = true
            }

            function renameAt(row) {
                if (row < 0) {
                    return
                }
                positionViewAtIndex(row, ListView.Contain)
                const item = itemAtIndex(row)
                if (item) {
                    item.startRename() // qmllint disable
                }
            }

            function openMenuAt(row) {
                if (row < 0) {
                    return
                }
                positionViewAtIndex(row, ListView.Contain)
                const item = itemAtIndex(row)
                if (item) {
                    item.openMenu() // qmllint disable
                }
            }

            delegate: ConversationRow {
                width: list.width - list.leftMargin - list.rightMargin
                isSelected: conversationId === ChatViewModel.currentConversationId
                clockTick: sidebar.clockTick
                showsFocus: isSelected && list.activeFocus
                onSelected: ChatViewModel.currentConversationId = conversationId
                onDeleteRequested: ChatViewModel.deleteConversation(conversationId)
                onRenameRequested: newTitle => ChatViewModel.renameConversation(conversationId, newTitle)
                onRenameFinished: list.forceActiveFocus(Qt.ShortcutFocusReason)
                onExportRequested: sidebar.exportConversation(conversationId, title)
            }
        }

        // A deletion that can still be taken back, or what an export did.
        RowLayout {
            objectName: "undoBar"
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 12
            Layout.topMargin: 4
            Layout.bottomMargin: 4
            visible: ChatViewModel.deletionUndo.available || sidebar.exportNotice.length > 0
            spacing: 6

            Text {
                objectName: "undoText"
                Layout.fillWidth: true
                text: ChatViewModel.deletionUndo.available
                      ? Texts.deletedNotice(ChatViewModel.deletionUndo.title) : sidebar.exportNotice
                // A title is the user's own text: "<b>" in it is shown, not obeyed.
                textFormat: Text.PlainText
                elide: Text.ElideMiddle
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textSmall
                color: Theme.textSecondary
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
            AbstractButton {
                id: undoButton
                objectName: "undoButton"
                visible: ChatViewModel.deletionUndo.available
                text: Texts.undo
                focusPolicy: Qt.TabFocus
                Accessible.name: text
                Accessible.description: Texts.undoDescription
                Accessible.onPressAction: clicked()
                onClicked: ChatViewModel.deletionUndo.undo()
                contentItem: Text {
                    text: undoButton.text
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.textSmall
                    font.bold: true
                    color: Theme.accent
                }
                background: Item {}
                FocusRing {
                    radius: 4
                    shown: undoButton.visualFocus
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.border
        }

        PanelButton {
            objectName: "mobileButton"
            Layout.fillWidth: true
            panel: InspectorSidebarPanel.Value.mobile
            shortcutNumber: 1
            status: ChatViewModel.isServerRunning ? Texts.serverRunning : ""

            Rectangle {
                objectName: "serverDot"
                visible: ChatViewModel.isServerRunning
                width: 5
                height: 5
                radius: 2.5
                color: Theme.success
            }
        }

        PanelButton {
            objectName: "modelButton"
            Layout.fillWidth: true
            panel: InspectorSidebarPanel.Value.model
            shortcutNumber: 2
            status: modelName.text

            Text {
                id: modelName
                objectName: "modelName"
                text: ChatViewModel.backends.activeBackend === AIBackend.Value.local
                      ? Texts.localBackendShort : ChatViewModel.backends.cloudConfig.provider
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textTiny
                font.weight: Font.Medium
                color: Theme.textTertiary
            }
        }

        PanelButton {
            objectName: "personaButton"
            Layout.fillWidth: true
            panel: InspectorSidebarPanel.Value.persona
            shortcutNumber: 3
        }

        PanelButton {
            objectName: "settingsButton"
            Layout.fillWidth: true
            panel: InspectorSidebarPanel.Value.settings
            shortcutNumber: 4
        }

        PanelButton {
            objectName: "aboutButton"
            Layout.fillWidth: true
            panel: InspectorSidebarPanel.Value.about
            shortcutNumber: 5
        }
    }
}
