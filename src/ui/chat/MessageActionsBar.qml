import QtQuick
import QtQuick.Controls.Basic
import Emberglass.Common
import Emberglass.Theme

// The buttons over a message while the pointer is on it or it has the
// keyboard focus: Copy message, and on the latest exchange Edit and resend or
// Regenerate.
Row {
    id: bar

    property bool canEdit: false
    property bool canRegenerate: false

    signal copyRequested()
    signal editRequested()
    signal regenerateRequested()

    spacing: 4

    component ActionButton: AbstractButton {
        id: button
        property string shortcut
        padding: 4
        horizontalPadding: 8
        focusPolicy: Qt.NoFocus // the message keeps the focus; its keys do the same
        Accessible.role: Accessible.Button
        Accessible.name: text
        Accessible.description: shortcut
        Accessible.onPressAction: clicked()
        contentItem: Text {
            text: button.text
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textSmall
            font.weight: Font.DemiBold
            color: button.hovered ? Theme.accent : Theme.textSecondary
        }
        background: Rectangle {
            radius: 6
            color: button.down ? Theme.tint(Theme.accent, 0.15) : Theme.surface
            border.width: 1
            border.color: Theme.border
        }
    }

    ActionButton {
        objectName: "copyMessageButton"
        text: Texts.copyMessage
        shortcut: Texts.copyMessageShortcut
        onClicked: bar.copyRequested()
    }
    ActionButton {
        objectName: "editMessageButton"
        visible: bar.canEdit
        text: Texts.editAndResend
        shortcut: Texts.editAndResendShortcut
        onClicked: bar.editRequested()
    }
    ActionButton {
        objectName: "regenerateButton"
        visible: bar.canRegenerate
        text: Texts.regenerate
        shortcut: Texts.regenerateShortcut
        onClicked: bar.regenerateRequested()
    }
}
