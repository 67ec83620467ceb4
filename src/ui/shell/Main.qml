import QtQuick
import QtQuick.Window
import Emberglass.Theme

// The one window of the application.
Window {
    width: 940
    height: 680
    minimumWidth: 800
    minimumHeight: 560
    visible: true
    title: "Emberglass"
    color: Theme.background

    RootView {
        anchors.fill: parent
    }
}
