import QtQuick
import QtQuick.Layouts

// A column that fades in while rising `rise` points into place once `shown`.
ColumnLayout {
    id: column

    property bool shown: false
    property real rise: 12
    property int duration: 700

    opacity: shown ? 1 : 0
    transform: Translate {
        y: column.shown ? 0 : column.rise
        Behavior on y { NumberAnimation { duration: column.duration; easing.type: Easing.OutQuad } }
    }
    Behavior on opacity { NumberAnimation { duration: column.duration; easing.type: Easing.OutQuad } }
}
