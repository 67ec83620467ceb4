import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The conversations, newest first, and the buttons that open the inspector
// panels.
Rectangle {
    id: sidebar

    property alias list: list
    // The clock the relative dates are read against, refreshed now and then.
    property date now: new Date()

    color: Theme.background

    Timer {
        interval: 30000
        repeat: true
        running: true
        onTriggered: sidebar.now = new Date()
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
                text: Texts.productName
                font.family: Theme.monoFamily
                font.pixelSize: 11
                font.bold: true
                font.letterSpacing: 1
                color: Theme.textPrimary
            }
            Text {
                text: Texts.sidebarSubtitle
                font.family: Theme.monoFamily
                font.pixelSize: 8
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
                font.pixelSize: 9
                font.bold: true
                font.letterSpacing: 2
                color: Theme.textTertiary
            }
            Item {
                Layout.fillWidth: true
            }
            NewSessionButton {
                objectName: "newSessionButton"
                onClicked: {
                    ChatViewModel.newConversation(false)
                    sidebar.now = new Date()
                }
            }
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
            model: ChatViewModel.conversations
            currentIndex: -1
            ScrollBar.vertical: ScrollBar {}

            delegate: ConversationRow {
                width: list.width - list.leftMargin - list.rightMargin
                isSelected: conversationId === ChatViewModel.currentConversationId
                now: sidebar.now
                onSelected: ChatViewModel.currentConversationId = conversationId
                onDeleteRequested: ChatViewModel.deleteConversation(conversationId)
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
            panel: "mobile"
            label: Texts.panelLabels.mobile
            symbol: "iphone"

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
            panel: "model"
            label: Texts.panelLabels.model
            symbol: "brain"

            Text {
                objectName: "modelName"
                text: ChatViewModel.activeBackend === Texts.localBackend
                      ? Texts.localBackendShort : ChatViewModel.cloudConfig.provider
                font.family: Theme.fontFamily
                font.pixelSize: 8
                font.weight: Font.Medium
                color: Theme.textTertiary
            }
        }

        PanelButton {
            objectName: "personaButton"
            Layout.fillWidth: true
            panel: "persona"
            label: Texts.panelLabels.persona
            symbol: "cpu"
        }

        PanelButton {
            objectName: "aboutButton"
            Layout.fillWidth: true
            panel: "about"
            label: Texts.panelLabels.about
            symbol: "info.circle"
        }
    }
}
