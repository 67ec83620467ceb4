pragma Singleton
import QtQuick

// The timing curves of the window's animations, as cubic Bézier control points
// for `easing.type: Easing.Bezier`.
QtObject {
    readonly property var easeOut: [0, 0, 0.58, 1, 1, 1]
    readonly property var easeIn: [0.42, 0, 1, 1, 1, 1]
    readonly property var easeInOut: [0.42, 0, 0.58, 1, 1, 1]

    // The inspector's spring (response 0.32 s, damping fraction 0.86) in the
    // terms of SpringAnimation, which steps velocity once every 16 ms:
    // spring = ω² · 0.016 and damping = 2ζω · 0.016 with ω = 2π / 0.32.
    readonly property real panelSpring: 6.17
    readonly property real panelDamping: 0.54
}
