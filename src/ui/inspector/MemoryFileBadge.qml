import QtQuick
import Emberglass.Backend
import Emberglass.Theme

// The badge of a memory file: its symbol and colour say what the file is about.
Rectangle {
    id: badge

    property string fileName
    readonly property var look: {
        switch (PersonaDisplay.kind(fileName)) {
        case MemoryFileKind.Value.personal:
            return { symbol: "person.fill", color: Theme.personal }
        case MemoryFileKind.Value.work:
            return { symbol: "briefcase.fill", color: Theme.work }
        case MemoryFileKind.Value.financial:
            return { symbol: "dollarsign", color: Theme.success }
        }
        return { symbol: "clock.fill", color: Theme.accent }
    }
    readonly property string symbol: look.symbol

    implicitWidth: 32
    implicitHeight: 32
    radius: 7
    color: Theme.tint(look.color, 0.14)

    Icon {
        anchors.centerIn: parent
        name: badge.symbol
        size: 15
        color: badge.look.color
    }
}
