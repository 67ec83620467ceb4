import QtQuick
import QtQuick.Controls.Basic
import Emberglass.Theme

// The "xmark" in a small rounded square that closes a panel or sheet.
AbstractButton {
    id: button

    implicitWidth: 26
    implicitHeight: 26
    focusPolicy: Qt.TabFocus
    Accessible.onPressAction: if (enabled) clicked()
    Accessible.name: InspectorTexts.closePanel
    Accessible.description: InspectorTexts.closeDescription
    ToolTip.visible: hovered && ToolTip.text.length > 0
    ToolTip.delay: 600
    ToolTip.text: InspectorTexts.closePanel

    contentItem: Item {
        Icon {
            anchors.centerIn: parent
            name: "xmark"
            size: 10
            color: Theme.textSecondary
        }
    }

    background: Rectangle {
        radius: 7
        color: button.hovered || button.pressed ? Theme.borderStrong : Theme.surfaceAlt
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    FocusRing {
        radius: 9
        shown: button.visualFocus
    }
}
