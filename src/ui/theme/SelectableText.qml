import QtQuick

// Read-only text the user can select and copy. A click leaves the keyboard
// focus where it was (in the input field, say); text selected with the mouse
// takes it, so that Ctrl+C copies the selection.
TextEdit {
    textFormat: TextEdit.PlainText
    readOnly: true
    selectByMouse: true
    activeFocusOnPress: false
    color: Theme.textPrimary
    selectionColor: Theme.tint(Theme.accent, 0.25)
    selectedTextColor: Theme.textPrimary

    onSelectedTextChanged: {
        if (selectedText.length > 0 && !activeFocus) {
            forceActiveFocus(Qt.MouseFocusReason)
        }
    }
}
