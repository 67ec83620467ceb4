import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Common
import Emberglass.Theme

// A label above a plain text field on a white card. `edited` reports each change
// the user makes; `value` follows the setting (a change elsewhere shows at once).
ColumnLayout {
    id: field

    property string label
    property string placeholder
    property string value
    property bool secret: false
    property int fontSize: Theme.textBody
    property alias input: input

    signal edited(string text)

    spacing: 6
    // A group named after the label holds the field. Qt 6.4 gives a password
    // field no accessible name whatever is set (the name reads empty while the
    // field is a password edit), so for the key field this group's name is
    // what a screen reader says as the focus enters it; the label is the
    // field's description too.
    Accessible.role: Accessible.Grouping
    Accessible.name: label

    Text {
        text: field.label
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.focusable: false
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textCaption
        font.weight: Font.DemiBold
        color: Theme.textSecondary
    }

    TextField {
        id: input
        Layout.fillWidth: true
        text: field.value
        placeholderText: field.placeholder
        placeholderTextColor: Theme.textTertiary
        echoMode: field.secret ? TextInput.Password : TextInput.Normal
        padding: 10
        font.family: Theme.fontFamily
        font.pixelSize: field.fontSize
        color: Theme.textPrimary
        selectByMouse: true
        selectionColor: Theme.selection(Theme.surface)
        selectedTextColor: Theme.textPrimary
        // Typed, or set by assistive technology (which does not count as typing).
        onTextChanged: {
            if (text !== field.value)
                field.edited(text)
        }
        Accessible.name: field.label
        Accessible.description: field.secret ? field.label + ", " + field.placeholder : field.placeholder

        background: Rectangle {
            radius: 10
            color: Theme.surface
            border.width: 1
            border.color: input.activeFocus ? Theme.tint(Theme.accent, 0.45) : Theme.border

            FocusRing {
                radius: 12
                shown: input.activeFocus && Keyboard.isKeyboardReason(input.focusReason)
            }
        }
    }
}
