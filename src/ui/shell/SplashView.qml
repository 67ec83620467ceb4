import QtQuick
import Emberglass.Common
import Emberglass.Theme

// The launch splash: the icon grows in, the name and the subtitle follow, and
// `finished` is emitted once, two seconds after the splash appeared.
Rectangle {
    id: splash

    property real iconOpacity: 0
    property real iconScale: 0.7
    property real textOpacity: 0
    property real subtitleOpacity: 0
    property real timeScale: 1
    property bool hasFinished: false

    signal finished()

    color: Theme.background

    Column {
        anchors.centerIn: parent
        spacing: 0

        AppIconArtwork {
            objectName: "splashIcon"
            anchors.horizontalCenter: parent.horizontalCenter
            size: 120
            cornerRadius: 26
            opacity: splash.iconOpacity
            scale: splash.iconScale
        }

        Item { width: 1; height: 28 }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Texts.productName
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textDisplay
            font.bold: true
            font.letterSpacing: 4
            color: Theme.textPrimary
            opacity: splash.textOpacity
        }

        Item { width: 1; height: 8 }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Texts.splashSubtitle
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textFootnote
            font.weight: Font.Medium
            font.letterSpacing: 3
            color: Theme.textTertiary
            opacity: splash.subtitleOpacity
        }
    }

    // Durations in milliseconds before scaling.
    function scaled(ms) {
        return Math.max(1, Math.round(ms * timeScale))
    }

    ParallelAnimation {
        running: true

        NumberAnimation {
            target: splash; property: "iconOpacity"; to: 1
            duration: splash.scaled(1000)
            easing.type: Easing.Bezier; easing.bezierCurve: Motion.easeOut
        }
        NumberAnimation {
            target: splash; property: "iconScale"; to: 1
            duration: splash.scaled(1000)
            easing.type: Easing.Bezier; easing.bezierCurve: Motion.easeOut
        }
        SequentialAnimation {
            PauseAnimation { duration: splash.scaled(500) }
            NumberAnimation {
                target: splash; property: "textOpacity"; to: 1
                duration: splash.scaled(800)
                easing.type: Easing.Bezier; easing.bezierCurve: Motion.easeOut
            }
        }
        SequentialAnimation {
            PauseAnimation { duration: splash.scaled(800) }
            NumberAnimation {
                target: splash; property: "subtitleOpacity"; to: 1
                duration: splash.scaled(600)
                easing.type: Easing.Bezier; easing.bezierCurve: Motion.easeOut
            }
        }
        // The same clock as the fades, so the end never comes before them.
        SequentialAnimation {
            PauseAnimation { duration: splash.scaled(2000) }
            ScriptAction {
                script: {
                    if (!splash.hasFinished) {
                        splash.hasFinished = true
                        splash.finished()
                    }
                }
            }
        }
    }
}
