import QtQuick

// The accent ring around a control that has the keyboard focus. Put it inside
// the control (it fills its parent, a little outside the edge) and bind `shown`
// to the control's `visualFocus`, so a click never draws it.
Rectangle {
    property bool shown: false

    anchors.fill: parent
    anchors.margins: -2
    radius: 8
    color: "transparent"
    border.width: 2
    border.color: Theme.accent
    visible: shown
    z: 1000
}
