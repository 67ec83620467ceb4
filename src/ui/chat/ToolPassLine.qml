import QtQuick
import Emberglass.Theme

// The words a reply that went on to call tools was stored with ("Using
// tools..."): drawn as part of the tool records, not as an answer.
Item {
    id: line

    property string text

    implicitHeight: label.implicitHeight + 8

    // Nothing to reset when the row is reused: it has no state of its own.
    function resetViewState() {
    }

    Text {
        id: label
        objectName: "toolPassText"
        x: 64
        y: 4
        width: Math.max(0, line.width - x - 20)
        text: line.text
        textFormat: Text.PlainText
        elide: Text.ElideRight
        font.family: Theme.monoFamily
        font.pixelSize: Theme.textCaption
        color: Theme.textTertiary
    }
}
