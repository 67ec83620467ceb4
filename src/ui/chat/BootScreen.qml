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

    Accessible.role: Accessible.Pane
    Accessible.name: Texts.bootAccessibleName

    Column {
        anchors.centerIn: parent
        spacing: 22

        Column {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 6

            Text {
                Accessible.role: Accessible.Heading
                Accessible.name: text
                Accessible.focusable: false
                anchors.horizontalCenter: parent.horizontalCenter
                text: Texts.bootTitle
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textLargeTitle
                font.bold: true
                font.letterSpacing: 3
                color: Theme.textPrimary
            }

            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.focusable: false
                anchors.horizontalCenter: parent.horizontalCenter
                text: Texts.bootVersion
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textFootnote
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
        PropertyAction {
            target: boot
            property: "showLines"
            value: true
        }
    }

    // The pulse: 1.0 to 0.3 and back, ease-in-out, 0.8 s each way, stepped by
    // a timer at 15 frames a second, a rate at which the slow fade still looks
    // smooth. An animation would redraw the window at the display's rate (60
    // frames a second, each a whole window with OpenGL in software); this
    // changes one small marker 15 times a second. See BENCHMARKS.md.
    Timer {
        id: pulse
        readonly property int halfPeriod: 800
        property int elapsed: 0
        interval: 66
        repeat: true
        running: boot.visible
        onTriggered: {
            elapsed = (elapsed + interval) % (2 * halfPeriod)
            const t = elapsed < halfPeriod ? elapsed / halfPeriod : 2 - elapsed / halfPeriod
            boot.pulseOpacity = 1.0 - 0.7 * Motion.progressAt(Motion.easeInOut, t)
        }
    }
}
