import QtQuick
import QtQuick.Layouts
import Emberglass.Theme

// Symbol tile, title over subtitle, and the close button.
RowLayout {
    id: header

    property string symbol
    property string title
    property string subtitle
    property int titleSize: Theme.textFootnote
    property int subtitleSize: Theme.textTiny
    property alias closeButton: close

    signal closeRequested()

    spacing: 10

    Rectangle {
        implicitWidth: 28
        implicitHeight: 28
        radius: 8
        color: Theme.accent

        Icon {
            anchors.centerIn: parent
            name: header.symbol
            size: 12
            color: Theme.onFill
        }
    }

    ColumnLayout {
        spacing: 2
        Layout.fillWidth: true

        Text {
            Accessible.role: Accessible.Heading
            Accessible.name: text
            Accessible.focusable: false
            text: header.title
            font.family: Theme.monoFamily
            font.pixelSize: header.titleSize
            font.bold: true
            font.letterSpacing: 0.5
            color: Theme.textPrimary
        }
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.focusable: false
            Layout.fillWidth: true
            text: header.subtitle
            elide: Text.ElideRight
            font.family: Theme.fontFamily
            font.pixelSize: header.subtitleSize
            color: Theme.textTertiary
        }
    }

    CloseButton {
        id: close
        objectName: "closeButton"
        onClicked: header.closeRequested()
    }
}
