import QtQuick
import QtQuick.Controls
import Emberglass.Common
import Emberglass.Theme

// A plain-text field in which Return sends and Shift+Return (or the keypad's
// Enter) breaks the line. It grows with its text from 42 to 120 high and
// scrolls beyond that. `text` is bound from outside; edits come back through
// `textEdited`, so the binding is never broken.
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
            font.pixelSize: 14
            color: Theme.textPrimary
            textFormat: TextEdit.PlainText
            wrapMode: TextEdit.Wrap
            selectByMouse: true
            placeholderText: field.placeholder
            placeholderTextColor: Qt.rgba(Theme.textTertiary.r, Theme.textTertiary.g,
                                          Theme.textTertiary.b, 0.7)
            selectionColor: Qt.rgba(Theme.accent.r, Theme.accent.g, Theme.accent.b, 0.25)
            selectedTextColor: Theme.textPrimary
            background: null

            cursorDelegate: Rectangle {
                width: 2
                color: Theme.accent
                visible: area.cursorVisible
                SequentialAnimation on opacity {
                    running: area.cursorVisible
                    loops: Animation.Infinite
                    PropertyAction { value: 1 }
                    PauseAnimation { duration: 530 }
                    PropertyAction { value: 0 }
                    PauseAnimation { duration: 530 }
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
                }
            }
        }
    }

    Component.onCompleted: area.text = text
}
