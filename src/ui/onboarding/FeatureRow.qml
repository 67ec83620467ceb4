import QtQuick
import Emberglass.Theme

// One numbered feature of the welcome page: number, symbol tile, title over text.
Item {
    id: row

    property string number
    property string symbol
    property string title
    property string text

    implicitHeight: Math.max(tile.height, texts.implicitHeight)

    Accessible.role: Accessible.StaticText
    Accessible.name: title + ": " + text

    Text {
        id: numberLabel
        width: 24
        y: 9
        text: row.number
        font.family: Theme.monoFamily
        font.pixelSize: Theme.textSmall
        font.bold: true
        color: Theme.textTertiary
    }
    Rectangle {
        id: tile
        anchors.left: numberLabel.right
        width: 34
        height: 34
        radius: 9
        color: Theme.surface
        border.width: 1
        border.color: Theme.border

        Icon {
            anchors.centerIn: parent
            name: row.symbol
            size: 16
            color: Theme.accent
        }
    }
    Column {
        id: texts
        anchors.left: tile.right
        anchors.leftMargin: 14
        anchors.right: parent.right
        spacing: 3

        Text {
            width: parent.width
            text: row.title
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textFootnote
            font.bold: true
            font.letterSpacing: 1
            color: Theme.textPrimary
        }
        Text {
            width: parent.width
            text: row.text
            wrapMode: Text.WordWrap
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textBody
            color: Theme.textSecondary
        }
    }
}
