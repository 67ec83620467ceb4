import QtQuick
import QtQuick.Layouts
import Emberglass.Theme

// What went wrong, in `danger`, shown only while there is something to say.
// Read out as an alert, so a screen reader announces it when it appears.
Text {
    Layout.fillWidth: true
    visible: text.length > 0
    wrapMode: Text.Wrap
    font.family: Theme.fontFamily
    font.pixelSize: Theme.textSmall
    color: Theme.danger
    Accessible.role: Accessible.AlertMessage
    Accessible.name: text
    Accessible.focusable: false
}
