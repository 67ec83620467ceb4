import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness
import Emberglass.ViewTestSupport

// The actions on a message from the keyboard (its keys, the Menu key and the
// menu's own keys), the context menu and the hover buttons: Copy message on
// any message, Edit and resend on the last question, Regenerate on the last
// reply, and what each leaves in the conversation.
Item {
    id: scene
    width: 900
    height: 700

    Component {
        id: contentComponent
        ContentView {}
    }

    Component {
        id: clipboardReader
        TextEdit {}
    }

    TestCase {
        name: "MessageActions"
        when: windowShown

        property var content
        property var transcript
        property int first

        function init() {
            failOnWarning(/.?/) // a QML warning (binding loop, null read) is a fault
            TestHarness.reset()
            tryCompare(ChatViewModel.backends, "serviceAvailable", true)
            content = createTemporaryObject(contentComponent, scene, { width: scene.width, height: scene.height })
            transcript = findChild(content, "transcript")
            first = ChatViewModel.messages.count // the greeting, if any
        }

        function clipboard() {
            const reader = createTemporaryObject(clipboardReader, scene)
            reader.paste()
            return reader.text
        }

        // Row `index` with the transcript's keyboard focus on it.
        function focusRow(index) {
            transcript.forceActiveFocus(Qt.TabFocusReason)
            transcript.showMessage(index)
            const row = transcript.itemAtIndex(index)
            tryCompare(row, "activeFocus", true)
            return row
        }

        function contentAt(index) {
            return transcript.itemAtIndex(index)?.content
        }

        // The row is asked for again each time: the one there before the reply
        // came may be another item, put back in the view's pool.
        function tryContentAt(index, text) {
            tryVerify(() => contentAt(index) === text, 10000, "row " + index + " reads " + text)
        }

        function openMenu(row) {
            keyClick(Qt.Key_Menu)
            const menu = findChild(row, "messageMenuLoader").item
            tryCompare(menu, "opened", true)
            return menu
        }

        // Rows: tests/data/ui/views.json.
        function test_offeredWhere_data() { return ViewTestSupport.rows("offeredActions") }

        function test_offeredWhere(data) {
            TestHarness.addMessage("user", "one")
            TestHarness.addMessage("assistant", "first answer")
            TestHarness.addMessage("user", "two")
            TestHarness.addMessage("assistant", "Using tools...")
            TestHarness.addToolCall("read_file", { path: "/tmp/a" })
            TestHarness.addMessage("assistant", "second answer")
            const row = focusRow(first + data.row)
            const bar = findChild(row, "actionsBarLoader")
            compare(bar.active, data.copy, "the buttons show on keyboard focus")
            if (!data.copy)
                return
            const shown = (parent, names) => names.map(name => findChild(parent, name).visible)
            compare(findChild(bar.item, "copyMessageButton").Accessible.name, "Copy message")
            compare(shown(bar.item, ["editMessageButton", "regenerateButton"]), [data.edit, data.regenerate])
            const menu = openMenu(row)
            compare(shown(menu, ["editMessageItem", "regenerateItem"]), [data.edit, data.regenerate])
            compare(findChild(findChild(menu, "copyMessageItem"), "shortcut").text, "Ctrl+C")
            keyClick(Qt.Key_Escape)
            tryCompare(menu, "visible", false)
        }

        function test_copyMessageFromItsKeysAndMenu() {
            TestHarness.addMessage("user", "Where is **it**?")
            TestHarness.addMessage("assistant", "In `~/notes`:\n\n- a\n- b")
            focusRow(first + 1)
            keySequence(StandardKey.Copy)
            compare(clipboard(), "In `~/notes`:\n\n- a\n- b", "the message as written")
            const row = focusRow(first)
            const menu = openMenu(row)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Return)
            tryCompare(menu, "visible", false)
            compare(clipboard(), "Where is **it**?")
        }

        function test_theButtonsShowOnHover() {
            TestHarness.addMessage("user", "hello")
            tryVerify(() => transcript.itemAtIndex(first) !== null)
            const row = transcript.itemAtIndex(first)
            const bar = findChild(row, "actionsBarLoader")
            compare(bar.active, false)
            mouseMove(row, row.width / 2, row.height / 2)
            tryCompare(bar, "active", true)
            mouseClick(findChild(bar.item, "copyMessageButton"))
            compare(clipboard(), "hello")
        }

        // Edit and resend (the question changed), or Regenerate from the reply's
        // menu or its key: the reply goes with its tool records, and the
        // question is asked again.
        function test_askedAgain_data() {
            return [{ tag: "edit and resend", action: "edit", asked: "What is in the box (and the lid)?" },
                    { tag: "regenerate from the menu", action: "menu", asked: "What is in the box?" },
                    { tag: "regenerate from its key", action: "key", asked: "What is in the box?" }]
        }

        function test_askedAgain(data) {
            TestHarness.answerWith("A better answer.")
            TestHarness.addMessage("user", "What is in the box?")
            TestHarness.addMessage("assistant", "Using tools...")
            TestHarness.addToolCall("list_directory", { path: "/box" })
            TestHarness.addToolResult("list_directory", true, "lid")
            TestHarness.addMessage("assistant", "Nothing.")
            if (data.action === "edit") {
                focusRow(first)
                keyClick(Qt.Key_E, Qt.ControlModifier)
                compare(ChatViewModel.inputText, "What is in the box?", "the question is back in the input")
                compare(ChatViewModel.messages.count, first + 5, "nothing is removed before sending")
                tryCompare(findChild(content, "inputArea"), "activeFocus", true)
                ChatViewModel.inputText = data.asked // the user's change
                keyClick(Qt.Key_Return)
            } else if (data.action === "menu") {
                mouseClick(findChild(openMenu(focusRow(first + 4)), "regenerateItem"))
            } else {
                focusRow(first + 4)
                keyClick(Qt.Key_R, Qt.ControlModifier)
            }
            tryCompare(ChatViewModel, "isGenerating", false)
            tryCompare(ChatViewModel.messages, "count", first + 2)
            tryContentAt(first, data.asked)
            tryContentAt(first + 1, "A better answer.")
        }
    }
}
