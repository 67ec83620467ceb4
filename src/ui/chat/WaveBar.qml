import QtQuick
import Emberglass.Common
import Emberglass.Theme

// One bar of the waveform: it breathes between 0.3 and full height about its
// centre, starting `delay` seconds after it is shown.
Rectangle {
    id: bar

    property real delay: 0
    property real verticalScale: 0.3

    width: 3
    radius: 1.5
    color: Theme.accent
    transform: Scale {
        origin.y: bar.height / 2
        yScale: bar.verticalScale
    }

    SequentialAnimation {
        running: bar.visible
        PauseAnimation {
            duration: bar.delay * 1000
        }
        SequentialAnimation {
            loops: Animation.Infinite
            NumberAnimation {
                target: bar
                property: "verticalScale"
                from: 0.3
                to: 1.0
                duration: 450
                easing.type: Easing.Bezier
                easing.bezierCurve: Motion.easeInOut
            }
            NumberAnimation {
                target: bar
                property: "verticalScale"
                from: 1.0
                to: 0.3
                duration: 450
                easing.type: Easing.Bezier
                easing.bezierCurve: Motion.easeInOut
            }
        }
    }
}
