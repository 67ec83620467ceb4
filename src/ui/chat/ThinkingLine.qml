import QtQuick
import Emberglass.Common
import Emberglass.Theme

// "Thinking… 12 s": the model reasons before it writes; what it reasons is not shown.
Text {
    id: line

    property real since: 0 // milliseconds since the epoch
    property int seconds: 0

    function count() {
        seconds = Math.max(0, Math.floor((Date.now() - since) / 1000))
    }

    text: Texts.thinkingFor(seconds)
    font.family: Theme.monoFamily
    font.pixelSize: Theme.textCaption
    color: Theme.textSecondary
    Accessible.role: Accessible.StaticText
    Accessible.name: text
    onSinceChanged: count()
    Component.onCompleted: count()

    Timer {
        interval: 1000
        repeat: true
        running: line.visible
        onTriggered: line.count()
    }
}
