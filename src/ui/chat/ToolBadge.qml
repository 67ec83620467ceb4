import QtQuick
import Emberglass.Theme

// A tool's symbol on its small tinted square, as tool rows show it.
Rectangle {
    id: badge

    property string tool
    // The symbol of each tool that has one of its own.
    readonly property var symbols: ({
        "read_file": "doc.text",
        "write_file": "square.and.pencil",
        "list_directory": "folder",
        "search_files": "magnifyingglass",
        "run_command": "terminal"
    })
    readonly property string symbol: symbols[tool] || "wrench"

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
