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
            tryCompare(ChatViewModel.backends, "serviceAvailable", true)
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

        // A field's text item is named after the field that holds it.
        function focusedName() {
            const item = focused()
            return !item ? "" : item.objectName || (item.parent ? item.parent.objectName : "")
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
            ChatViewModel.togglePanel(InspectorSidebarPanel.Value[name])
            tryCompare(overlay(), "progress", 1)
            return findChild(overlay(), "inspectorView")
        }

        // The controls Tab visits from the "+ NEW" button, one round.
        function tabRound(key) {
            findChild(content, "newSessionButton").forceActiveFocus(Qt.TabFocusReason)
            const start = focused()
            let names = [focusedName()]
            for (let i = 0; i < 30; ++i) {
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
                  expected: sidebar.concat(["inputArea", "closeButton", "makerLink"]) },
                { tag: "model panel open", text: "", panel: "model",
                  expected: sidebar.concat(["inputArea", "closeButton", "modeCloudAPI", "modeLocalQwen",
                                            "providerGrok", "providerDoubao", "providerChatGPT",
                                            "providerGemini", "providerDeepSeek", "apiKeyField",
                                            "modelChoices", "refreshModels", "baseUrlField",
                                            "testConnectionButton"]) }
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

        function test_tabInTheInputMovesOnAndSpaceSends() {
            keyClick("a")
            keyClick(Qt.Key_Tab)
            compare(ChatViewModel.inputText, "a", "no tab typed")
            compare(focusedName(), "sendButton")
            keyClick(Qt.Key_Space)
            compare(ChatViewModel.messages.count, 2)
            tryCompare(input, "activeFocus", true, 1000, "back in the input once sent")
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

            // Delete asks nothing; the selection moves to the top row.
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Delete)
            compare(list.count, 2)
            compare(ChatViewModel.currentConversationId, ids[0])
            verify(list.activeFocus, "the list keeps the focus")
            verify(list.itemAtIndex(0).showsFocus, "the selected row shows the ring")

            keyClick(Qt.Key_Menu)
            const menu = findChild(list.itemAtIndex(0), "rowMenu")
            tryCompare(menu, "opened", true)
            keyClick(Qt.Key_Escape)
            tryCompare(menu, "opened", false)

            list.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Return)
            compare(input.activeFocus, true, "Return goes on to the input field")
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
                compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value[panels[i]])
            }
            keyClick(Qt.Key_4, Qt.ControlModifier)
            compare(ChatViewModel.inspectorPanel, undefined, "the open panel's shortcut closes it")

            if (!input.activeFocus) {
                keyClick(Qt.Key_L, Qt.ControlModifier)
                compare(input.activeFocus, true)
                compare(input.focusReason, Qt.ShortcutFocusReason)
            }
        }

        // Where the focus is when Escape is pressed: the input field, or a
        // control of the open panel, clicked or reached from the keyboard.
        function test_escapeClosesThePanelFromAnyFocus_data() {
            return [
                { tag: "input", panel: "about", click: false, target: view => input },
                { tag: "close button", panel: "about", click: false,
                  target: view => findChild(view, "closeButton") },
                { tag: "phone address clicked", panel: "mobile", click: true,
                  target: view => findChild(view, "serverAddress") },
                { tag: "phone address selected", panel: "mobile", click: false,
                  target: view => findChild(view, "serverAddress") },
                { tag: "API key field", panel: "model", click: true,
                  target: view => findChild(view, "apiKeyField").input },
                { tag: "model field", panel: "model", click: true,
                  target: view => findChild(view, "modelField").input },
                { tag: "soul editor", panel: "persona", click: true,
                  target: view => findChild(view, "markdownText").textArea }
            ]
        }

        function test_escapeClosesThePanelFromAnyFocus(data) {
            ChatViewModel.toggleServer() // the phone address shows while it runs
            tryVerify(() => ChatViewModel.serverURL.length > 0)
            const target = data.target(openPanel(data.panel))
            tryVerify(() => target.visible && target.width > 0)
            if (data.click) {
                mouseClick(target)
            } else {
                target.forceActiveFocus(Qt.TabFocusReason)
            }
            keyClick(Qt.Key_Escape)
            compare(ChatViewModel.inspectorPanel, undefined)
            compare(input.activeFocus, true, "the focus is in the input field")
            tryCompare(overlay(), "visible", false)
        }

        function test_escapeWithSelectedTextInTheTranscript() {
            TestHarness.addMessage("assistant", "Copy this line")
            const text = findChild(transcriptRow(0), "messageText")
            openPanel("about")
            text.selectAll()
            compare(text.activeFocus, true, "a selection takes the focus, for Ctrl+C")
            keyClick(Qt.Key_Escape)
            compare(ChatViewModel.inspectorPanel, undefined)
        }

        function test_focusLeavesAPanelThatChanges() {
            const view = openPanel("model")
            const field = findChild(view, "apiKeyField").input
            mouseClick(field)
            compare(field.activeFocus, true)
            keyClick(Qt.Key_3, Qt.ControlModifier)
            compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value.persona)
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
            ChatViewModel.closeInspector()
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

            // From the keyboard, Space folds it.
            header.forceActiveFocus(Qt.TabFocusReason)
            compare(header.visualFocus, true)
            keyClick(Qt.Key_Space)
            compare(result.isExpanded, false)
        }
    }
}
