import QtQuick
import Emberglass.Common
import Emberglass.Theme

// One line of the boot screen: a marker (a check when done) and its label.
Row {
    id: line

    property string label
    property bool done: false
    property real markerOpacity: 1

    spacing: 8

    Accessible.role: Accessible.StaticText
    Accessible.name: label
    // Read by a screen reader, never reached with the focus (Qt makes a static
    // text focusable unless told otherwise).
    Accessible.focusable: false
    Accessible.description: done ? Texts.bootLineDone : Texts.bootLineWaiting

    Rectangle {
        objectName: "marker"
        width: 14
        height: 14
        radius: 3
        color: line.done ? Theme.success : Theme.accent
        opacity: line.done ? 1 : line.markerOpacity

        Icon {
            anchors.centerIn: parent
            visible: line.done
            name: "checkmark"
            size: 7
            color: Theme.onFill
        }
    }

    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: line.label
        font.family: Theme.monoFamily
        font.pixelSize: Theme.textCaption
        font.weight: Font.Medium
        color: Theme.textTertiary
    }
}
