import QtQuick
import Emberglass.Common
import Emberglass.Theme

// The about panel's content at the inspector's usual width.
Rectangle {
    width: 460
    height: 360
    color: Theme.background

    AboutView {
        x: 20
        y: 16
        width: parent.width - 40
    }
}
