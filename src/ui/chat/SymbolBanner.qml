import QtQuick
import Emberglass.Theme

// A status line under the transcript: a white symbol on a coloured square and
// a short text.
Item {
    id: banner

    property string symbol
    property color tint
    property string text

    implicitHeight: Math.max(badge.height, label.implicitHeight) + 16

    Accessible.role: Accessible.AlertMessage
    Accessible.name: text
    Accessible.focusable: false

    Rectangle {
        id: badge
        x: 16
        anchors.verticalCenter: parent.verticalCenter
        width: 18
        height: 18
        radius: 5
        color: banner.tint
        Icon {
            anchors.centerIn: parent
            name: banner.symbol
            size: 9
            color: Theme.onFill
        }
    }

    Text {
        id: label
        objectName: "bannerText"
        x: badge.x + badge.width + 6
        anchors.verticalCenter: parent.verticalCenter
        width: Math.max(0, banner.width - x - 16)
        text: banner.text
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        font.family: Theme.monoFamily
        font.pixelSize: Theme.textSmall
        font.weight: Font.Medium
        color: Theme.textSecondary
    }
}
