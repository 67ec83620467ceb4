pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Theme

// Phone access: start or stop the phone server and the address to open.
ColumnLayout {
    id: panel

    readonly property bool running: ChatViewModel.isServerRunning
    readonly property bool showsAddress: running && ChatViewModel.serverURL.length > 0

    spacing: 16

    Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.focusable: false
        Layout.fillWidth: true
        text: InspectorTexts.mobileIntro
        wrapMode: Text.WordWrap
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textBody
        color: Theme.textSecondary
    }

    FilledButton {
        id: serverButton
        objectName: "serverButton"
        Layout.fillWidth: true
        verticalPadding: 10
        fontSize: Theme.textSmall
        text: panel.running ? InspectorTexts.stopServer : InspectorTexts.startServer
        fill: panel.running ? Theme.tint(Theme.danger, 0.12) : Theme.textPrimary
        labelColor: panel.running ? Theme.danger : Theme.onFill
        borderColor: panel.running ? Theme.tint(Theme.danger, 0.35) : "transparent"
        onClicked: ChatViewModel.toggleServer()

        // Sized by the row inside, reached by id: built at once, not deferred.
        contentItem: Item { // qmllint disable deferred-property-id
            implicitWidth: serverLabel.implicitWidth
            implicitHeight: serverLabel.implicitHeight

            Row {
                id: serverLabel
                anchors.centerIn: parent
                spacing: 8

                Rectangle {
                    objectName: "statusDot"
                    width: 8
                    height: 8
                    radius: 4
                    anchors.verticalCenter: parent.verticalCenter
                    color: panel.running ? Theme.success : Theme.textTertiary
                    opacity: panel.running ? 1 : 0.3
                }
                Text {
                    text: serverButton.text
                    font: serverButton.font
                    color: serverButton.labelColor
                    anchors.verticalCenter: parent.verticalCenter
                }
            }
        }
    }

    ErrorLine {
        objectName: "serverProblem"
        text: ChatViewModel.serverProblem
    }

    Rectangle {
        id: addressBox
        objectName: "addressBox"
        visible: panel.showsAddress
        Layout.fillWidth: true
        implicitHeight: addressRow.implicitHeight + 24
        radius: 10
        color: Theme.tint(Theme.accent, 0.06)
        border.width: 1
        border.color: Theme.tint(Theme.accent, 0.18)

        RowLayout {
            id: addressRow
            anchors.fill: parent
            anchors.margins: 12
            spacing: 12

            // A phone's camera opens the page from it, key and all. Drawn in
            // whole pixels a module, so it stays sharp at any scale.
            Image {
                id: qrCode
                objectName: "addressQrCode"
                Layout.alignment: Qt.AlignVCenter
                Layout.preferredWidth: 112
                Layout.preferredHeight: 112
                source: panel.showsAddress ? "image://qr/" + encodeURIComponent(ChatViewModel.serverURL) : ""
                sourceSize.width: 112
                sourceSize.height: 112
                fillMode: Image.PreserveAspectFit
                smooth: false
                Accessible.role: Accessible.Graphic
                Accessible.name: InspectorTexts.qrCodeName
                Accessible.description: InspectorTexts.qrCodeDescription
            }

            ColumnLayout {
                id: addressColumn
                Layout.fillWidth: true
                Layout.alignment: Qt.AlignVCenter
                spacing: 6

                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    Accessible.focusable: false
                    text: InspectorTexts.openOnPhone
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.textTiny
                    font.bold: true
                    font.letterSpacing: 1
                    color: Theme.textTertiary
                }
                SelectableText {
                    objectName: "serverAddress"
                    Layout.fillWidth: true
                    text: ChatViewModel.serverURL
                    surface: Qt.tint(Theme.background, addressBox.color)
                    wrapMode: TextEdit.WrapAnywhere
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.textFootnote
                    font.weight: Font.Medium
                    color: Theme.accent
                    Accessible.name: InspectorTexts.openOnPhone
                    Accessible.description: InspectorTexts.addressDescription
                    // Tab reaches it with the whole address selected, ready to copy.
                    activeFocusOnTab: true
                    selectByKeyboard: true
                    onActiveFocusChanged: {
                        if (activeFocus && selectedText.length === 0) {
                            selectAll()
                        }
                    }
                }
            }
        }
    }

    SectionLabel {
        Layout.topMargin: 4
        text: InspectorTexts.howItWorks
    }

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 10

        Repeater {
            model: InspectorTexts.mobileSteps

            DecoratedText {
                id: mobileStep
                required property int index
                required property string modelData
                Layout.fillWidth: true
                text: modelData
                textOffset: 2

                Rectangle {
                    width: 20
                    height: 20
                    radius: 6
                    color: Theme.surfaceAlt

                    Text {
                        anchors.centerIn: parent
                        text: mobileStep.index + 1
                        font.family: Theme.monoFamily
                        font.pixelSize: Theme.textSmall
                        font.bold: true
                        color: Theme.textSecondary
                    }
                }
            }
        }
    }

    DecoratedText {
        Layout.fillWidth: true
        Layout.topMargin: 4
        gap: 8
        text: InspectorTexts.localNetworkOnly
        label.font.pixelSize: Theme.textFootnote
        label.color: Theme.textSecondary

        Icon {
            y: 2
            name: "lock.shield"
            size: 10
            color: Theme.textTertiary
        }
    }
}
