import QtQuick
import QtQuick.Window
import Emberglass.Theme

// The one window of the application. The program shows it once it has fitted
// it to the screen it opens on.
Window {
    width: 940
    height: 680
    minimumWidth: 800
    minimumHeight: 560
    visible: false
    title: "Emberglass"
    color: Theme.background

    RootView {
        anchors.fill: parent
    }
}
