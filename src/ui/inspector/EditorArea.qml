import QtQuick
import QtQuick.Controls.Basic
import Emberglass.Theme

// A scrolling plain-text editor on a white card. `text` is shown (and follows
// changes made elsewhere); `edited` reports each change the user makes.
ScrollView {
    id: scroll

    property string text
    property bool monospaced: false
    property alias textArea: area
    property alias placeholderText: area.placeholderText

    signal edited(string text)

    contentWidth: availableWidth

    TextArea {
        id: area
        text: scroll.text
        onTextChanged: {
            if (text !== scroll.text)
                scroll.edited(text)
        }
        wrapMode: TextEdit.Wrap
        textFormat: TextEdit.PlainText
        selectByMouse: true
        padding: 12
        font.family: scroll.monospaced ? Theme.monoFamily : Theme.fontFamily
        font.pixelSize: 12
        color: Theme.textPrimary
        placeholderTextColor: Theme.textTertiary
        selectionColor: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.25)
        selectedTextColor: Theme.textPrimary

        background: Rectangle {
            radius: 10
            color: Theme.surface
            border.width: 1
            border.color: area.activeFocus ? Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.45) : Theme.border
        }
    }
}
