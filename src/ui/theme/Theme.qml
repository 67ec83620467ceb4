pragma Singleton
import QtQuick

// The palette, type sizes and fonts of every view.
QtObject {
    readonly property color background: Qt.rgba(0.98, 0.98, 0.97, 1)
    readonly property color surface: "white"
    readonly property color surfaceAlt: Qt.rgba(0.95, 0.95, 0.94, 1)
    readonly property color accent: Qt.rgba(1.0, 0.42, 0.17, 1)
    readonly property color danger: Qt.rgba(0.92, 0.22, 0.22, 1)
    readonly property color warning: Qt.rgba(0.95, 0.7, 0.1, 1)
    readonly property color success: Qt.rgba(0.18, 0.75, 0.45, 1)
    readonly property color textPrimary: Qt.rgba(0.1, 0.1, 0.1, 1)
    readonly property color textSecondary: Qt.rgba(0.45, 0.45, 0.43, 1)
    readonly property color textTertiary: Qt.rgba(0.65, 0.65, 0.63, 1)
    readonly property color border: Qt.rgba(0, 0, 0, 0.07)
    readonly property color borderStrong: Qt.rgba(0, 0, 0, 0.12)

    // The widest the transcript's column and the panels' forms grow on a wide
    // window: lines longer than this are hard to read. They are centred.
    readonly property real readingWidth: 820
    readonly property real formWidth: 640

    // The system font and its monospaced design.
    readonly property string fontFamily: Qt.application.font.family
    readonly property string monoFamily: "DejaVu Sans Mono"
}
