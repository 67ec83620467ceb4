import QtQuick
import Emberglass.Inspector

// The model settings on their own, as a sheet over the window.
Rectangle {
    width: 940
    height: 680
    color: Qt.rgba(0, 0, 0, 0.25)
    readonly property bool ready: sheet.opened

    ModelSettingsSheet {
        id: sheet
        dim: false
    }

    // Opened once the scene is in its window.
    Timer {
        running: true
        interval: 0
        onTriggered: sheet.open()
    }
}
