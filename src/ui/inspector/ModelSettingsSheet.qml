import QtQuick
import QtQuick.Controls.Basic
import Emberglass.Theme

// The model settings on their own, over the window.
Popup {
    id: sheet

    anchors.centerIn: parent
    width: Math.max(480, implicitContentWidth)
    height: Math.max(420, Math.min(implicitContentHeight, parent ? parent.height - 80 : 620))
    modal: true
    padding: 0
    closePolicy: Popup.CloseOnPressOutside

    background: Rectangle {
        radius: 14
        color: Theme.background
        border.width: 1
        border.color: Theme.borderStrong
    }

    contentItem: ModelSettingsView {
        embedded: false
        radius: 14
        clip: true
        onDismissed: sheet.close()
    }
}
