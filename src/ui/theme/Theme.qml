pragma Singleton
import QtQuick

// The palette, type sizes and fonts of every view. The colours are the
// application's own (Palette, shared with the C++ side).
QtObject {
    readonly property color background: Palette.background
    readonly property color surface: Palette.surface
    readonly property color surfaceAlt: Palette.surfaceAlt
    readonly property color accent: Palette.accent
    readonly property color danger: Palette.danger
    readonly property color warning: Palette.warning
    readonly property color success: Palette.success
    readonly property color personal: Palette.personal
    readonly property color work: Palette.work
    readonly property color textPrimary: Palette.textPrimary
    readonly property color textSecondary: Palette.textSecondary
    readonly property color textTertiary: Palette.textTertiary
    readonly property color onFill: Palette.onFill
    readonly property color border: Palette.border
    readonly property color borderStrong: Palette.borderStrong
    readonly property color scrim: Palette.scrim

    // `color` with the given opacity: the washes, outlines and selections.
    function tint(color, alpha) {
        return Qt.rgba(color.r, color.g, color.b, alpha)
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
    readonly property string fontFamily: Qt.application.font.family
    readonly property string monoFamily: "DejaVu Sans Mono"
}
