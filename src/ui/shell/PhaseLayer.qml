import QtQuick
import Emberglass.Common

// The content of one launch phase. It fades in when its phase begins and out
// when it ends, and exists only while it can be seen.
Loader {
    id: layer

    property bool shown: false
    property real timeScale: 1

    active: shown || opacity > 0
    focus: shown
    visible: opacity > 0
    opacity: shown ? 1 : 0

    Behavior on opacity {
        NumberAnimation {
            duration: 400 * layer.timeScale
            easing.type: Easing.Bezier
            easing.bezierCurve: Motion.easeInOut
        }
    }
}
