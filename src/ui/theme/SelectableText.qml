import QtQuick
import Emberglass.Theme

// Read-only text the user can select and copy. A click leaves the keyboard
// focus where it was (in the input field, say); text selected with the mouse
// takes it, so that Ctrl+C copies the selection, while every other shortcut
// still reaches the window.
TextEdit {
    id: selectable

    // The colour the text is drawn on, which the selection is mixed with.
    property color surface: Theme.background

    textFormat: TextEdit.PlainText
    readOnly: true
    selectByMouse: true
    activeFocusOnPress: false
    color: Theme.textPrimary
    selectionColor: Theme.selection(surface)
    selectedTextColor: color

    onSelectedTextChanged: {
        if (selectedText.length > 0 && !activeFocus) {
            forceActiveFocus(Qt.MouseFocusReason)
        }
    }

    ShortcutPassage {
        target: selectable
    }
}
