import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// The main window from the keyboard: Tab order, the conversation list, the
// shortcuts, Escape from wherever the focus is, and clicks that must leave the
// focus in the input field.
// TestCase itself is invisible, so the views under test live in `scene`.
Item {
    id: scene
    width: 940
    height: 680

    TestCase {
        id: testCase
        name: "Keyboard"
        when: windowShown

        Component {
            id: contentComponent
            ContentView {}
        }

        property var content
        property var input
        property var list

        function init() {
            TestHarness.reset()
            tryCompare(ChatViewModel, "serviceAvailable", true)
            content = createTemporaryObject(contentComponent, scene,
                                            { width: scene.width, height: scene.height })
            input = findChild(content, "inputArea")
            list = findChild(content, "conversationList")
            input.forceActiveFocus()
            tryCompare(input, "activeFocus", true)
        }

        function focused() {
            return scene.Window.activeFocusItem
        }

        function focusedName() {
            const item = focused()
            return item ? item.objectName : ""
        }

        function transcriptRow(index) {
            const transcript = findChild(content, "transcript")
            tryVerify(() => transcript.count > index)
            transcript.positionViewAtIndex(index, ListView.Contain)
            const item = transcript.itemAtIndex(index)
            verify(item, "row " + index)
            return item
        }

        function overlay() {
            return findChild(content, "inspectorOverlay")
        }

        function openPanel(name) {
            ChatViewModel.togglePanel(name)
            tryCompare(overlay(), "progress", 1)
            return findChild(overlay(), "inspectorView")
        }

        // The controls Tab visits from the "+ NEW" button, one round.
        function tabRound(key) {
            mouseClick(findChild(content, "newSessionButton")) // a click does not focus it
            findChild(content, "newSessionButton").forceActiveFocus(Qt.TabFocusReason)
            const start = focused()
            let names = [focusedName()]
            for (let i = 0; i < 20; ++i) {
                keyClick(key)
                if (focused() === start) {
                    return names
                }
                names.push(focusedName())
            }
            fail("Tab never came back to where it started: " + names)
        }

        function test_tabVisitsEveryControlInOrder_data() {
            const sidebar = ["newSessionButton", "conversationList", "mobileButton", "modelButton",
                             "personaButton", "aboutButton"]
            return [
                { tag: "empty input", text: "", panel: "", expected: sidebar.concat(["inputArea"]) },
                { tag: "with text", text: "hi", panel: "",
                  expected: sidebar.concat(["inputArea", "sendButton"]) },
                { tag: "about panel open", text: "", panel: "about",
                  expected: sidebar.concat(["inputArea", "closeButton", "makerLink"]) }
            ]
        }

        function test_tabVisitsEveryControlInOrder(data) {
            ChatViewModel.inputText = data.text
            if (data.panel.length > 0) {
                openPanel(data.panel)
            }
            compare(tabRound(Qt.Key_Tab), data.expected)
            compare(tabRound(Qt.Key_Backtab),
                    [data.expected[0]].concat(data.expected.slice(1).reverse()))
        }

        function test_keyboardFocusShowsARing() {
            const button = findChild(content, "modelButton")
            mouseClick(button)
            compare(input.activeFocus, true, "a click leaves the focus in the input")
            ChatViewModel.togglePanel("model")
            tryCompare(overlay(), "visible", false)
            button.forceActiveFocus(Qt.TabFocusReason)
            compare(button.visualFocus, true)
            keyClick(Qt.Key_Space)
            compare(ChatViewModel.inspectorPanel, "model", "Space presses the focused button")
        }

        function test_tabInTheInputMovesOn() {
            keyClick("a")
            keyClick(Qt.Key_Tab)
            compare(ChatViewModel.inputText, "a", "no tab typed")
            compare(focusedName(), "sendButton")
            keyClick(Qt.Key_Backtab)
            compare(input.activeFocus, true)
            compare(ChatViewModel.inputText, "a")
        }

        function test_spaceOnTheSendButtonSendsAndReturnsToTheInput() {
            keyClick("a")
            keyClick(Qt.Key_Tab)
            keyClick(Qt.Key_Space)
            compare(ChatViewModel.messages.count, 2)
            tryCompare(input, "activeFocus", true)
            tryCompare(ChatViewModel, "isGenerating", false)
        }

        function test_listFromTheKeyboard() {
            ChatViewModel.newConversation(false)
            ChatViewModel.newConversation(false)
            const ids = [0, 1, 2].map(row => content.sidebar.list.itemAtIndex(row).conversationId)
            compare(ChatViewModel.currentConversationId, ids[0])
            list.forceActiveFocus(Qt.TabFocusReason)

            keyClick(Qt.Key_Down)
            compare(ChatViewModel.currentConversationId, ids[1])
            keyClick(Qt.Key_End)
            compare(ChatViewModel.currentConversationId, ids[2])
            keyClick(Qt.Key_Down)
            compare(ChatViewModel.currentConversationId, ids[2], "the last row stays selected")
            keyClick(Qt.Key_Home)
            compare(ChatViewModel.currentConversationId, ids[0])
            keyClick(Qt.Key_Up)
            compare(ChatViewModel.currentConversationId, ids[0])

            // Delete asks nothing; the selection moves to the top row.
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Delete)
            compare(list.count, 2)
            compare(ChatViewModel.currentConversationId, ids[0])
            verify(list.activeFocus, "the list keeps the focus")
            verify(list.itemAtIndex(0).showsFocus, "the selected row shows the ring")

            keyClick(Qt.Key_Return)
            compare(input.activeFocus, true, "Return goes on to the input field")
        }

        function test_menuKeyOpensTheRowMenu() {
            list.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Menu)
            const menu = findChild(list.itemAtIndex(0), "rowMenu")
            tryCompare(menu, "opened", true)
            keyClick(Qt.Key_Escape)
            tryCompare(menu, "opened", false)
        }

        function test_shortcutsWorkFromAnyFocus_data() {
            return [
                { tag: "input", focus: "inputArea" },
                { tag: "list", focus: "conversationList" },
                { tag: "panel button", focus: "personaButton" }
            ]
        }

        function test_shortcutsWorkFromAnyFocus(data) {
            findChild(content, data.focus).forceActiveFocus(Qt.TabFocusReason)

            keyClick(Qt.Key_N, Qt.ControlModifier)
            compare(list.count, 2)
            compare(list.itemAtIndex(0).isSelected, true, "the new conversation is selected")

            const panels = ["mobile", "model", "persona", "about"]
            for (let i = 0; i < panels.length; ++i) {
                keyClick(Qt.Key_1 + i, Qt.ControlModifier)
                compare(ChatViewModel.inspectorPanel, panels[i])
            }
            keyClick(Qt.Key_4, Qt.ControlModifier)
            compare(ChatViewModel.inspectorPanel, "", "the open panel's shortcut closes it")

            if (!input.activeFocus) {
                keyClick(Qt.Key_L, Qt.ControlModifier)
                compare(input.activeFocus, true)
                compare(input.focusReason, Qt.ShortcutFocusReason)
            }
        }

        // Where the focus is when Escape is pressed: a control found in the
        // open panel or the window, clicked or focused from the keyboard.
        function test_escapeClosesThePanelFromAnyFocus_data() {
            return [
                { tag: "input", panel: "about", target: "inputArea", click: false },
                { tag: "list", panel: "about", target: "conversationList", click: false },
                { tag: "close button", panel: "about", target: "closeButton", click: false },
                { tag: "phone address clicked", panel: "mobile", target: "serverAddress", click: true },
                { tag: "phone address selected", panel: "mobile", target: "serverAddress", click: false },
                { tag: "API key field", panel: "model", target: "apiKeyField", click: true },
                { tag: "soul editor", panel: "persona", target: "markdownText", click: true }
            ]
        }

        function test_escapeClosesThePanelFromAnyFocus(data) {
            if (data.panel === "mobile") {
                ChatViewModel.toggleServer()
                tryVerify(() => ChatViewModel.serverURL.length > 0)
            }
            const view = openPanel(data.panel)
            let target = findChild(view, data.target) || findChild(content, data.target)
            verify(target, data.target)
            if (target.input) { // a labelled field
                target = target.input
            }
            if (target.textArea) { // an editor
                target = target.textArea
            }
            tryVerify(() => target.visible && target.width > 0)
            const inPanel = data.panel.length > 0 && findChild(view, data.target) !== null
            if (data.click) {
                mouseClick(target)
            } else {
                target.forceActiveFocus(Qt.TabFocusReason)
            }
            if (data.target === "serverAddress") {
                tryVerify(() => target.selectedText.length > 0 || !target.activeFocus)
            }

            keyClick(Qt.Key_Escape)
            compare(ChatViewModel.inspectorPanel, "")
            tryCompare(overlay(), "visible", false)
            if (inPanel) {
                compare(input.activeFocus, true, "the focus comes back to the input field")
            }
        }

        function test_escapeWithSelectedTextInTheTranscript() {
            TestHarness.addMessage("assistant", "Copy this line")
            const text = findChild(transcriptRow(0), "messageText")
            openPanel("about")
            text.selectAll()
            compare(text.activeFocus, true, "a selection takes the focus, for Ctrl+C")
            keyClick(Qt.Key_Escape)
            compare(ChatViewModel.inspectorPanel, "")
        }

        function test_focusLeavesAPanelThatChanges() {
            const view = openPanel("model")
            const field = findChild(view, "apiKeyField").input
            mouseClick(field)
            compare(field.activeFocus, true)
            keyClick(Qt.Key_3, Qt.ControlModifier)
            compare(ChatViewModel.inspectorPanel, "persona")
            compare(input.activeFocus, true)
        }

        function test_clicksLeaveTheFocusInTheInput() {
            ChatViewModel.newConversation(false)
            TestHarness.addMessage("user", "List my notes")
            TestHarness.addToolCall("list_directory", { path: "~/notes" })
            TestHarness.addToolResult("list_directory", true, "a.md\nb.md")
            input.forceActiveFocus()

            const row = list.itemAtIndex(1)
            mouseClick(row)
            compare(ChatViewModel.currentConversationId, row.conversationId)
            mouseClick(findChild(list.itemAtIndex(0), "rowBadge"))
            mouseClick(findChild(content, "aboutButton"))
            ChatViewModel.inspectorPanel = ""
            tryCompare(overlay(), "visible", false)
            compare(input.activeFocus, true, "after the rows and the panel button")

            const result = findChild(transcriptRow(2), "toolResultView")
            const header = findChild(result, "resultHeader")
            mouseClick(header)
            compare(result.isExpanded, true)
            mouseClick(findChild(transcriptRow(0), "messageText"))
            compare(input.activeFocus, true, "after the result header and the message text")

            // The next words typed go to the input, and Space does not fold the result.
            keyClick(Qt.Key_A)
            keyClick(Qt.Key_Space)
            compare(ChatViewModel.inputText, "a ")
            compare(result.isExpanded, true)
        }

        function test_resultHeaderFromTheKeyboard() {
            TestHarness.addToolCall("read_file", { path: "~/a.md" })
            TestHarness.addToolResult("read_file", false, "File not found")
            const result = findChild(transcriptRow(1), "toolResultView")
            const header = findChild(result, "resultHeader")
            header.forceActiveFocus(Qt.TabFocusReason)
            compare(header.visualFocus, true)
            keyClick(Qt.Key_Space)
            compare(result.isExpanded, true)
            compare(header.Accessible.checked, true)
        }
    }
}
