import QtQuick
import Emberglass.Theme

// A wrapping text after a small leading item (a number, a badge, an icon).
// Built on anchors rather than a RowLayout: a row layout does not pick up the
// new height of a text that re-wraps while the row itself is being laid out.
Item {
    id: row

    default property alias leading: lead.data
    property alias text: label.text
    property alias label: label
    property real gap: 10
    // Moves the text down to line its first line up with the leading item.
    property real textOffset: 0

    implicitWidth: lead.width + gap + label.implicitWidth
    implicitHeight: Math.max(lead.height, label.y + label.implicitHeight)

    Item {
        id: lead
        width: childrenRect.width
        height: childrenRect.height
    }

    Text {
        id: label
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.focusable: false
        x: lead.width + row.gap
        y: row.textOffset
        width: Math.max(0, row.width - x)
        wrapMode: Text.WordWrap
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textBody
        color: Theme.textPrimary
    }
}
