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

    // The progress a curve gives at time `t` (0 to 1), for motion stepped by a
    // timer rather than run by an animation.
    function progressAt(curve, t) {
        const clamped = Math.min(1, Math.max(0, t))
        // One coordinate of the cubic from (0, 0) to (1, 1) at parameter s.
        const at = (s, a, b) => 3 * a * s * (1 - s) * (1 - s) + 3 * b * s * s * (1 - s) + s * s * s
        let low = 0
        let high = 1
        for (let i = 0; i < 24; ++i) {
            const mid = (low + high) / 2
            if (at(mid, curve[0], curve[2]) < clamped) {
                low = mid
            } else {
                high = mid
            }
        }
        return at((low + high) / 2, curve[1], curve[3])
    }
}
