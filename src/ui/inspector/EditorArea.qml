import QtQuick
import QtQuick.Controls.Basic
import Emberglass.Common
import Emberglass.Theme

// A scrolling plain-text editor on a white card. `text` is shown (and follows
// changes made elsewhere); `edited` reports each change the user makes. Tab
// types a tab, as an editor should; Ctrl+Tab and Ctrl+Shift+Tab move on.
ScrollView {
    id: scroll

    property string text
    property bool monospaced: false
    property alias textArea: area
    property alias placeholderText: area.placeholderText
    property string accessibleName
    property string accessibleDescription

    signal edited(string text)

    contentWidth: availableWidth
    ScrollBar.horizontal.policy: ScrollBar.AlwaysOff
    ScrollBar.vertical: ViewScrollBar {
        view: scroll
        scrolls: scroll.accessibleName
    }

    TextArea {
        id: area
        text: scroll.text
        onTextChanged: {
            if (text !== scroll.text)
                scroll.edited(text)
        }
        Keys.onPressed: event => event.accepted = Keyboard.handleTab(area, event, true)
        Accessible.name: scroll.accessibleName
        Accessible.description: scroll.accessibleDescription
        wrapMode: TextEdit.Wrap
        textFormat: TextEdit.PlainText
        selectByMouse: true
        padding: 12
        font.family: scroll.monospaced ? Theme.monoFamily : Theme.fontFamily
        font.pixelSize: Theme.textBody
        color: Theme.textPrimary
        placeholderTextColor: Theme.textTertiary
        selectionColor: Theme.selection(Theme.surface)
        selectedTextColor: Theme.textPrimary

        background: Rectangle {
            radius: 10
            color: Theme.surface
            border.width: 1
            border.color: area.activeFocus ? Theme.tint(Theme.accent, 0.45) : Theme.border

            FocusRing {
                radius: 12
                shown: area.activeFocus && Keyboard.isKeyboardReason(area.focusReason)
            }
        }
    }
}
