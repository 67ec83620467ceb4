import QtQuick
import Emberglass.Common
import Emberglass.Theme

// The empty chat: the product's name and a short start-up log whose last line
// pulses while the chat waits for its first message.
Item {
    id: boot

    property bool showLines: false
    property real pulseOpacity: 1
    readonly property alias pulsing: pulse.running

    Column {
        anchors.centerIn: parent
        spacing: 22

        Column {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 6

            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: Texts.bootTitle
                font.family: Theme.monoFamily
                font.pixelSize: 22
                font.bold: true
                font.letterSpacing: 3
                color: Theme.textPrimary
            }

            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: Texts.bootVersion
                font.family: Theme.monoFamily
                font.pixelSize: 11
                font.weight: Font.Medium
                font.letterSpacing: 2
                color: Theme.textTertiary
            }
        }

        Column {
            objectName: "statusLines"
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 8
            opacity: boot.showLines ? 1 : 0

            Behavior on opacity {
                NumberAnimation {
                    duration: 600
                    easing.type: Easing.Bezier
                    easing.bezierCurve: Motion.easeIn
                }
            }

            BootStatusLine {
                label: Texts.bootSystemInit
                done: true
            }
            BootStatusLine {
                label: Texts.bootNeuralLink
                done: true
            }
            BootStatusLine {
                objectName: "awaitingLine"
                label: Texts.bootAwaitingInput
                markerOpacity: boot.pulseOpacity
            }
        }
    }

    SequentialAnimation {
        running: true
        PauseAnimation {
            duration: 200
        }
        ScriptAction {
            script: boot.showLines = true
        }
    }

    SequentialAnimation {
        id: pulse
        running: true
        loops: Animation.Infinite
        NumberAnimation {
            target: boot
            property: "pulseOpacity"
            from: 1.0
            to: 0.3
            duration: 800
            easing.type: Easing.Bezier
            easing.bezierCurve: Motion.easeInOut
        }
        NumberAnimation {
            target: boot
            property: "pulseOpacity"
            from: 0.3
            to: 1.0
            duration: 800
            easing.type: Easing.Bezier
            easing.bezierCurve: Motion.easeInOut
        }
    }
}
