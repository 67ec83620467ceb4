import QtQuick
import QtQuick.Layouts
import Emberglass.Theme

// One numbered feature of the welcome page.
RowLayout {
    id: row

    property string number
    property string symbol
    property string title
    property string text

    spacing: 14

    Text {
        Layout.alignment: Qt.AlignTop
        Layout.topMargin: 8
        text: row.number
        font.family: Theme.monoFamily
        font.pixelSize: 10
        font.bold: true
        color: Theme.textTertiary
    }
    Rectangle {
        implicitWidth: 34
        implicitHeight: 34
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
    ColumnLayout {
        Layout.fillWidth: true
        spacing: 3

        Text {
            text: row.title
            font.family: Theme.monoFamily
            font.pixelSize: 11
            font.bold: true
            font.letterSpacing: 1
            color: Theme.textPrimary
        }
        Text {
            Layout.fillWidth: true
            text: row.text
            wrapMode: Text.WordWrap
            font.family: Theme.fontFamily
            font.pixelSize: 12
            color: Theme.textSecondary
        }
    }
}
