import QtQuick
import Emberglass.Backend
import Emberglass.Theme

// The badge of a memory file: its symbol and colour say what the file is about.
Rectangle {
    id: badge

    property string fileName
    readonly property string kind: PersonaDisplay.kind(fileName)
    readonly property var looks: ({
        "personal": { symbol: "person.fill", color: Theme.personal },
        "work": { symbol: "briefcase.fill", color: Theme.work },
        "financial": { symbol: "dollarsign", color: Theme.success },
        "daily": { symbol: "clock.fill", color: Theme.accent }
    })
    readonly property string symbol: looks[kind].symbol

    implicitWidth: 32
    implicitHeight: 32
    radius: 7
    color: Theme.tint(looks[kind].color, 0.14)

    Icon {
        anchors.centerIn: parent
        name: badge.symbol
        size: 15
        color: badge.looks[badge.kind].color
    }
}
