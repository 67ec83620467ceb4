import QtQuick
import QtQuick.Controls.Basic
import Emberglass.Theme

// One tab of the persona panel; the selected one is filled.
AbstractButton {
    id: tab

    property string symbol
    property bool selected: false

    horizontalPadding: 9
    verticalPadding: 6
    focusPolicy: Qt.TabFocus
    Accessible.onPressAction: if (enabled) clicked()
    // A real checkable button, so that screen readers hear whether it is on
    // (Qt sets the accessible checked state, and the check box role, from the
    // button's own); a click that toggles it hands it back to what it shows,
    // and a screen reader's toggle action clicks it.
    Accessible.onToggleAction: if (enabled) clicked()
    checkable: true
    checked: selected
    onToggled: checked = Qt.binding(() => tab.selected)
    font.family: Theme.monoFamily
    font.pixelSize: Theme.textCaption
    font.bold: true
    font.letterSpacing: 0.5

    contentItem: Row {
        spacing: 5

        Icon {
            anchors.verticalCenter: parent.verticalCenter
            name: tab.symbol
            size: 10
            color: tab.selected ? Theme.onFill : Theme.textSecondary
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: tab.text
            font: tab.font
            color: tab.selected ? Theme.onFill : Theme.textSecondary
        }
    }

    background: Rectangle {
        radius: 7
        color: tab.selected ? Theme.textPrimary : (tab.hovered ? Theme.surfaceAlt : "transparent")
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    FocusRing {
        radius: 9
        shown: tab.visualFocus
    }
}
