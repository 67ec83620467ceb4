import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Common
import Emberglass.Theme

// Asks before a reply's link that is not a web page or a mail address opens:
// a file: link or another scheme may show a local file or start a program.
Popup {
    id: popup

    property string link

    function ask(url) {
        link = url
        open()
    }

    x: Math.round((((parent as Item)?.width ?? width) - width) / 2)
    modal: true
    padding: 18
    width: 420
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
    focus: true

    background: Rectangle {
        radius: 14
        color: Theme.background
        border.width: 1
        border.color: Theme.borderStrong
    }

    contentItem: ColumnLayout {
        spacing: 10
        Accessible.role: Accessible.Dialog
        Accessible.name: Texts.openLinkTitle

        Text {
            text: Texts.openLinkTitle
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textTitle
            font.bold: true
            color: Theme.textPrimary
        }
        Text {
            objectName: "linkAddress"
            Layout.fillWidth: true
            text: popup.link
            textFormat: Text.PlainText
            wrapMode: Text.WrapAnywhere
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textSmall
            color: Theme.textPrimary
        }
        Text {
            Layout.fillWidth: true
            text: Texts.openLinkExplanation
            wrapMode: Text.Wrap
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textSmall
            color: Theme.textSecondary
        }
        RowLayout {
            Layout.alignment: Qt.AlignRight
            spacing: 8
            Button {
                objectName: "cancelLinkButton"
                // Return does not open an address the user has not looked at.
                focus: true
                text: Texts.cancel
                Accessible.name: text
                onClicked: popup.close()
                Keys.onReturnPressed: clicked()
            }
            Button {
                objectName: "openLinkButton"
                text: Texts.openLink
                Accessible.name: text
                onClicked: {
                    Qt.openUrlExternally(popup.link)
                    popup.close()
                }
                Keys.onReturnPressed: clicked()
            }
        }
    }
}
