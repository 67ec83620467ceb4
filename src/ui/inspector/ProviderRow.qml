import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Theme

// One cloud provider to choose: badge, name and, when chosen, a checkmark.
AbstractButton {
    id: row

    property string provider
    property bool selected: false
    readonly property string symbol: InspectorTexts.providerSymbols[provider] || ""

    implicitHeight: 40
    horizontalPadding: 8
    verticalPadding: 8
    text: provider
    focusPolicy: Qt.TabFocus
    Accessible.onPressAction: if (enabled) clicked()
    Accessible.description: InspectorTexts.providerDescription
    // A real checkable button, so that screen readers hear whether it is on
    // (Qt sets the accessible checked state, and the check box role, from the
    // button's own); a click that toggles it hands it back to what it shows,
    // and a screen reader's toggle action clicks it.
    Accessible.onToggleAction: if (enabled) clicked()
    checkable: true
    checked: selected
    onToggled: checked = Qt.binding(() => row.selected)

    contentItem: RowLayout {
        spacing: 10

        Rectangle {
            objectName: "providerBadge"
            implicitWidth: 24
            implicitHeight: 24
            radius: 7
            color: row.selected ? Theme.accent : Theme.surfaceAlt

            Icon {
                objectName: "providerSymbol"
                anchors.centerIn: parent
                visible: row.symbol.length > 0
                name: row.symbol
                size: 12
                color: row.selected ? Theme.onFill : Theme.textTertiary
            }
            // Grok has no symbol of its own: its initial stands in.
            Text {
                anchors.centerIn: parent
                visible: row.symbol.length === 0
                text: row.provider.charAt(0)
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textFootnote
                font.bold: true
                color: row.selected ? Theme.onFill : Theme.textTertiary
            }
        }
        Text {
            Layout.fillWidth: true
            text: row.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textBody
            font.weight: Font.DemiBold
            color: Theme.textPrimary
        }
        Icon {
            objectName: "providerCheckmark"
            visible: row.selected
            name: "checkmark"
            size: 9
            color: Theme.textPrimary
        }
    }

    background: Rectangle {
        radius: 10
        color: row.hovered && !row.selected ? Theme.surfaceAlt : Theme.surface
        border.width: 1
        border.color: row.selected ? Theme.tint(Theme.accent, 0.4) : Theme.border
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    FocusRing {
        radius: 12
        shown: row.visualFocus
    }
}
