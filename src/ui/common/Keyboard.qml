pragma Singleton
import QtQuick
import QtQuick.Templates as T

// Keyboard habits shared by the views.
QtObject {
    // Whether focus came from the keyboard (Tab, Shift+Tab, a shortcut): only
    // then does a text field draw its focus ring, like `visualFocus` of a control.
    function isKeyboardReason(reason) {
        return reason === Qt.TabFocusReason || reason === Qt.BacktabFocusReason
            || reason === Qt.ShortcutFocusReason
    }

    // Return (or the keypad's Enter) that no field or list took presses the
    // focused button, as Space does. For a screen's Keys.onPressed, with the
    // window's focus item; returns whether it pressed one.
    function pressFocusedButton(event, focusItem) {
        const button = focusItem as T.AbstractButton
        if ((event.key !== Qt.Key_Return && event.key !== Qt.Key_Enter) || !button || !button.enabled) {
            return false
        }
        button.clicked()
        return true
    }

    // Moves the focus from `item` to the next (or previous) control in Tab order.
    function moveFocus(item, forward) {
        const next = item.nextItemInFocusChain(forward)
        if (next && next !== item) {
            next.forceActiveFocus(forward ? Qt.TabFocusReason : Qt.BacktabFocusReason)
        }
    }

    // Tab in a field where it moves on (`insertsTabs` false), or Ctrl+Tab in an
    // editor that keeps typed tabs: moves the focus and returns true.
    function handleTab(item, event, insertsTabs) {
        const isTab = event.key === Qt.Key_Tab || event.key === Qt.Key_Backtab
        if (!isTab || (insertsTabs && !(event.modifiers & Qt.ControlModifier))) {
            return false
        }
        moveFocus(item, event.key === Qt.Key_Tab && !(event.modifiers & Qt.ShiftModifier))
        return true
    }
}
