import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Common
import Emberglass.Theme

// A message's context menu (right click, the Menu key, Shift+F10): the same
// actions as its buttons, each with the key that does it from the message.
Menu {
    id: menu

    property bool canEdit: false
    property bool canRegenerate: false

    signal copyRequested()
    signal editRequested()
    signal regenerateRequested()

    component ActionItem: MenuItem {
        id: item
        property string shortcut
        height: visible ? implicitHeight : 0
        Accessible.name: text
        Accessible.description: shortcut
        contentItem: RowLayout {
            spacing: 24
            Text {
                Layout.fillWidth: true
                text: item.text
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textBody
                color: Theme.textPrimary
            }
            Text {
                objectName: "shortcut"
                text: item.shortcut
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textSmall
                color: Theme.textTertiary
            }
        }
    }

    ActionItem {
        objectName: "copyMessageItem"
        text: Texts.copyMessage
        shortcut: Texts.copyMessageShortcut
        onTriggered: menu.copyRequested()
    }
    ActionItem {
        objectName: "editMessageItem"
        visible: menu.canEdit
        text: Texts.editAndResend
        shortcut: Texts.editAndResendShortcut
        onTriggered: menu.editRequested()
    }
    ActionItem {
        objectName: "regenerateItem"
        visible: menu.canRegenerate
        text: Texts.regenerate
        shortcut: Texts.regenerateShortcut
        onTriggered: menu.regenerateRequested()
    }
}
