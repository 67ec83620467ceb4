import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Theme
import Emberglass.TestHarness

// The input field's keys and growth, and the action button's looks and rule.
// TestCase itself is invisible, so the views under test live in `scene`.
Item {
    id: scene
    width: 700
    height: 300

    TestCase {
        id: testCase
        name: "InputBar"
        when: windowShown

        Component {
            id: barComponent
            InputBar {
                width: scene.width
            }
        }

        property var bar
        property var area
        property var button

        function init() {
            TestHarness.reset()
            tryCompare(ChatViewModel.backends, "serviceAvailable", true)
            bar = createTemporaryObject(barComponent, scene)
            area = findChild(bar, "inputArea")
            button = findChild(bar, "sendButton")
            area.forceActiveFocus()
            tryCompare(area, "activeFocus", true)
        }

        // Equal as drawn: text items keep 8 bits a channel.
        function sameColor(actual, expected) {
            const bytes = c => [c.r, c.g, c.b, c.a].map(v => Math.round(v * 255)).join()
            return bytes(actual) === bytes(expected)
        }

        function type(text) {
            for (const ch of text) {
                keyClick(ch)
            }
        }

        function test_returnInEmptyFieldSendsNothingAndKeepsText_data() {
            return [
                { tag: "empty", text: "" },
                { tag: "spaces", text: "   " },
                { tag: "line breaks", text: "\n\n" }
            ]
        }

        function test_returnInEmptyFieldSendsNothingAndKeepsText(data) {
            ChatViewModel.inputText = data.text
            keyClick(Qt.Key_Return)
            compare(ChatViewModel.inputText, data.text)
            compare(area.text, data.text)
            compare(ChatViewModel.messages.count, 0)
            compare(ChatViewModel.isGenerating, false)
        }

        function test_returnSendsTheTypedText_data() {
            return [
                { tag: "plain", modifiers: Qt.NoModifier },
                { tag: "alt", modifiers: Qt.AltModifier },
                { tag: "ctrl", modifiers: Qt.ControlModifier }
            ]
        }

        function test_returnSendsTheTypedText(data) {
            type("hello")
            compare(ChatViewModel.inputText, "hello")
            keyClick(Qt.Key_Return, data.modifiers)
            compare(ChatViewModel.inputText, "")
            compare(area.text, "")
            compare(ChatViewModel.messages.count, 2) // the message and the reply placeholder
            tryCompare(ChatViewModel, "isGenerating", false)
        }

        function test_lineBreakKeysInsertWithoutSending_data() {
            return [
                { tag: "shift+return", key: Qt.Key_Return, modifiers: Qt.ShiftModifier },
                { tag: "keypad enter", key: Qt.Key_Enter, modifiers: Qt.KeypadModifier }
            ]
        }

        function test_lineBreakKeysInsertWithoutSending(data) {
            type("ab")
            keyClick(Qt.Key_Left)
            keyClick(data.key, data.modifiers)
            compare(ChatViewModel.inputText, "a\nb")
            compare(area.cursorPosition, 2)
            compare(ChatViewModel.messages.count, 0)
        }

        function test_lineBreakReplacesTheSelection() {
            type("one two")
            area.select(3, 4)
            keyClick(Qt.Key_Return, Qt.ShiftModifier)
            compare(ChatViewModel.inputText, "one\ntwo")
        }

        function test_fieldFollowsTheControllerText() {
            ChatViewModel.inputText = "from elsewhere"
            compare(area.text, "from elsewhere")
            type("!")
            compare(ChatViewModel.inputText, "from elsewhere!")
        }

        function test_fieldGrowsToItsLimitThenScrolls() {
            const field = findChild(bar, "chatInputField")
            const scroll = findChild(bar, "inputScroll")
            compare(field.height, 42)
            let heights = [field.height]
            for (let i = 0; i < 12; ++i) {
                type("line")
                keyClick(Qt.Key_Return, Qt.ShiftModifier)
                heights.push(field.height)
            }
            for (let i = 1; i < heights.length; ++i) {
                verify(heights[i] >= heights[i - 1], "the field never shrinks while lines are added")
            }
            verify(heights[2] > 42, "two lines make the field grow")
            compare(field.height, 120)
            verify(scroll.contentHeight > scroll.height, "the text is taller than the field")
            // The insertion point, on the last line, is kept in view.
            tryVerify(() => scroll.contentY + scroll.height >= scroll.contentHeight - 1)
            compare(ChatViewModel.messages.count, 0)
        }

        function test_placeholderSitsAtTheTextOrigin() {
            compare(area.placeholderText, "Ask anything...")
            compare(area.leftPadding, 14)
            compare(area.topPadding, 8)
            verify(sameColor(area.placeholderTextColor, Qt.rgba(0.65, 0.65, 0.63, 0.7)))
            const caret = area.positionToRectangle(0)
            compare(caret.x, 14)
            compare(caret.y, 8)
        }

        function test_buttonLooks_data() {
            return [
                { tag: "empty", text: "", color: Qt.rgba(0.65, 0.65, 0.63, 0.4), enabled: false },
                { tag: "spaces only", text: "   ", color: Theme.accent, enabled: false },
                { tag: "line break only", text: "\n", color: Theme.accent, enabled: false },
                { tag: "text", text: " hi ", color: Theme.accent, enabled: true }
            ]
        }

        function test_buttonLooks(data) {
            ChatViewModel.inputText = data.text
            verify(sameColor(button.fillColor, data.color), "fill " + button.fillColor)
            compare(button.enabled, data.enabled)
            compare(button.symbol, "arrow.up")
            mouseClick(button)
            compare(ChatViewModel.messages.count > 0, data.enabled, "whether the click sent")
        }

        function test_buttonStopsAGeneration() {
            TestHarness.holdReplies()
            type("wait for me")
            mouseClick(button)
            compare(ChatViewModel.isGenerating, true)
            compare(ChatViewModel.inputText, "")
            verify(sameColor(button.fillColor, Theme.danger))
            compare(button.symbol, "stop.fill")
            compare(findChild(button, "stopSymbol").visible, true)
            compare(button.enabled, true, "enabled with an empty field while generating")
            mouseClick(button)
            compare(ChatViewModel.isGenerating, false)
            verify(!sameColor(button.fillColor, Theme.danger))
            // The stopped reply says why it ended.
            tryVerify(() => lastContent().startsWith("Error: "))
        }

        // The content role of the model's last row.
        function lastContent() {
            const model = ChatViewModel.messages
            const contentRole = Qt.UserRole + 3
            return model.data(model.index(model.count - 1, 0), contentRole) || ""
        }
    }
}
