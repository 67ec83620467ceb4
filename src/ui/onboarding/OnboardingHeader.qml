import QtQuick
import QtQuick.Layouts
import Emberglass.Theme

// A page's symbol, title and subtitle, centred.
ColumnLayout {
    id: header

    property string symbol
    property string title
    property string subtitle

    spacing: 8

    Rectangle {
        Layout.alignment: Qt.AlignHCenter
        implicitWidth: 44
        implicitHeight: 44
        radius: 12
        color: Theme.accent

        Icon {
            anchors.centerIn: parent
            name: header.symbol
            size: 20
            color: Theme.onFill
        }
    }
    Text {
        Layout.alignment: Qt.AlignHCenter
        Layout.topMargin: 4
        text: header.title
        Accessible.role: Accessible.Heading
        Accessible.name: text
        Accessible.focusable: false
        font.family: Theme.monoFamily
        font.pixelSize: Theme.textTitle
        font.bold: true
        font.letterSpacing: 2
        color: Theme.textPrimary
    }
    Text {
        Layout.alignment: Qt.AlignHCenter
        text: header.subtitle
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.focusable: false
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textBody
        color: Theme.textSecondary
    }
}
