pragma Singleton
import QtQuick
import Emberglass.Theme

// The palette, type sizes and fonts of every view. The colours are the
// application's own (Colors, shared with the C++ side).
QtObject {
    readonly property color background: Colors.background
    readonly property color surface: Colors.surface
    readonly property color surfaceAlt: Colors.surfaceAlt
    readonly property color accent: Colors.accent
    readonly property color danger: Colors.danger
    readonly property color warning: Colors.warning
    readonly property color success: Colors.success
    readonly property color personal: Colors.personal
    readonly property color work: Colors.work
    readonly property color textPrimary: Colors.textPrimary
    readonly property color textSecondary: Colors.textSecondary
    readonly property color textTertiary: Colors.textTertiary
    readonly property color onFill: Colors.onFill
    readonly property color border: Colors.border
    readonly property color borderStrong: Colors.borderStrong
    readonly property color scrim: Colors.scrim

    // `color` with the given opacity: the washes, outlines and selections.
    function tint(color, alpha) {
        return Qt.rgba(color.r, color.g, color.b, alpha)
    }

    // The selection drawn on `surface`, opaque: under a translucent selection
    // Qt draws the selected glyphs twice, over themselves, and they turn bold.
    function selection(surface) {
        return Qt.tint(surface, tint(accent, 0.25))
    }

    // Type sizes, in the design's points (one point is one pixel here).
    readonly property int textTiny: 8
    readonly property int textCaption: 9
    readonly property int textSmall: 10
    readonly property int textFootnote: 11
    readonly property int textBody: 12
    readonly property int textCallout: 13
    readonly property int textLarge: 14
    readonly property int textTitle: 16
    readonly property int textHeadline: 20
    readonly property int textLargeTitle: 22
    readonly property int textDisplay: 28

    // The widest the transcript's column and the panels' forms grow on a wide
    // window: lines longer than this are hard to read. They are centred.
    readonly property real readingWidth: 820
    readonly property real formWidth: 640

    // The system font and its monospaced design.
    readonly property string fontFamily: Application.font.family
    readonly property string monoFamily: "DejaVu Sans Mono"
}
