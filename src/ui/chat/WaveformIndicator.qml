pragma ComponentBehavior: Bound
import QtQuick

// The agent at work: five bars rippling from left to right.
Row {
    id: waveform

    property bool animating: false

    height: 16
    spacing: 3
    Component.onCompleted: animating = true

    Repeater {
        model: 5
        WaveBar {
            required property int index
            delay: index * 0.1
            height: waveform.height
        }
    }
}
