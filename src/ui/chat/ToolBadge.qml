import QtQuick
import Emberglass.Backend
import Emberglass.Theme

// A tool's symbol on its small tinted square, as tool rows show it.
Rectangle {
    id: badge

    property string tool
    readonly property string symbol: ToolDisplay.symbol(tool)

    width: 20
    height: 20
    radius: 4
    color: Theme.tint(Theme.warning, 0.15)
    Icon {
        objectName: "toolSymbol"
        anchors.centerIn: parent
        name: badge.symbol
        size: 9
        color: Theme.warning
    }
}
