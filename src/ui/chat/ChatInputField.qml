pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Emberglass.Common
import Emberglass.Theme

// A plain-text field in which Return sends and Shift+Return (or the keypad's
// Enter) breaks the line; Tab moves on to the next control, as in a form. It
// grows with its text from 42 to 120 high and scrolls beyond that. `text` is
// bound from outside; edits come back through `textEdited`, so the binding is
// never broken.
Rectangle {
    id: field

    property string text
    property string placeholder
    property alias textArea: area
    readonly property real minimumHeight: 42
    readonly property real maximumHeight: 120

    signal textEdited(string text)
    signal submitted()

    implicitHeight: Math.min(Math.max(area.implicitHeight, minimumHeight), maximumHeight)
    radius: 12
    color: Theme.background
    border.color: Theme.border
    border.width: 1

    // Text set from outside (emptied after sending, or filled in) puts the
    // insertion point at its end.
    onTextChanged: {
        if (area.text !== text) {
            area.text = text
            area.cursorPosition = area.length
        }
    }

    // Puts `text` at the insertion point (over the selection), a space apart
    // from the words around it, and takes the focus to go on typing.
    function insertAtCursor(text) {
        if (text.length === 0) {
            return
        }
        const start = area.selectionStart
        area.remove(start, area.selectionEnd)
        const before = area.text.charAt(start - 1)
        const after = area.text.charAt(start)
        const spaced = (before.trim().length > 0 ? " " : "") + text + (after.trim().length > 0 ? " " : "")
        area.insert(start, spaced)
        area.cursorPosition = start + spaced.length
        area.forceActiveFocus(Qt.OtherFocusReason)
    }

    function insertLineBreak() {
        const start = area.selectionStart
        area.remove(start, area.selectionEnd)
        area.insert(start, "\n")
        area.cursorPosition = start + 1
    }

    Flickable {
        id: flick
        objectName: "inputScroll"
        anchors.fill: parent
        contentWidth: width
        contentHeight: area.implicitHeight
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        interactive: contentHeight > height

        // Keeps the insertion point in view while the text scrolls.
        function ensureVisible(rect) {
            if (rect.y < contentY) {
                contentY = rect.y
            } else if (rect.y + rect.height + area.bottomPadding > contentY + height) {
                contentY = rect.y + rect.height + area.bottomPadding - height
            }
        }

        TextArea.flickable: TextArea {
            id: area
            objectName: "inputArea"

            // Inset 6 and line padding 8 across, inset 8 down: the text and the
            // placeholder both start at (14, 8).
            leftPadding: 14
            rightPadding: 14
            topPadding: 8
            bottomPadding: 8
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textLarge
            color: Theme.textPrimary
            textFormat: TextEdit.PlainText
            wrapMode: TextEdit.Wrap
            selectByMouse: true
            placeholderText: field.placeholder
            placeholderTextColor: Theme.tint(Theme.textTertiary, 0.7)
            selectionColor: Theme.selection(Theme.background)
            selectedTextColor: Theme.textPrimary
            background: null

            Accessible.name: Texts.inputAccessibleName
            Accessible.description: Texts.inputAccessibleDescription

            // Blinks on a timer: a running animation would redraw the window at
            // the display's rate for as long as the field has the focus.
            cursorDelegate: Rectangle {
                id: caret
                width: 2
                color: Theme.accent
                visible: area.cursorVisible && caretBlink.lit

                Timer {
                    id: caretBlink
                    property bool lit: true
                    interval: 530
                    repeat: true
                    running: area.cursorVisible
                    onRunningChanged: lit = true
                    onTriggered: lit = !lit
                }
                // Typing or moving the insertion point shows it at once.
                Connections {
                    target: area
                    function onCursorPositionChanged() {
                        caretBlink.lit = true
                        caretBlink.restart()
                    }
                }
            }

            onTextChanged: {
                if (text !== field.text) {
                    field.textEdited(text)
                }
            }
            onCursorRectangleChanged: flick.ensureVisible(cursorRectangle)

            Keys.onPressed: event => {
                if (event.key === Qt.Key_Return) {
                    if (event.modifiers & Qt.ShiftModifier) {
                        field.insertLineBreak()
                    } else {
                        field.submitted()
                    }
                    event.accepted = true
                } else if (event.key === Qt.Key_Enter) {
                    field.insertLineBreak()
                    event.accepted = true
                } else {
                    event.accepted = Keyboard.handleTab(area, event, false)
                }
            }
        }
    }

    FocusRing {
        shown: area.activeFocus && Keyboard.isKeyboardReason(area.focusReason)
        radius: field.radius + 2
    }

    Component.onCompleted: area.text = text
}
