import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.TestHarness

// The main window from the keyboard: Tab order, the input's keys, the
// conversation list, the shortcuts, Escape from wherever the focus is, and
// clicks that must leave the focus in the input field.
Item {
    id: scene
    width: 940
    height: 680

    MainWindowCase {
        name: "Keyboard"

        // The controls Tab visits from the "+ NEW" button, one round.
        function tabRound(key) {
            findChild(content, "newSessionButton").forceActiveFocus(Qt.TabFocusReason)
            const start = content.Window.activeFocusItem
            let names = [focusedName()]
            for (let i = 0; i < 30 && (i === 0 || content.Window.activeFocusItem !== start); ++i) {
                keyClick(key)
                names.push(focusedName())
            }
            compare(content.Window.activeFocusItem, start, "Tab comes back to where it started: " + names)
            return names.slice(0, -1)
        }

        function test_tabOrder_data() {
            const sidebar = ["newSessionButton", "conversationList", "mobileButton", "modelButton", "personaButton",
                             "aboutButton", "inputArea"]
            return [
                { tag: "empty input", text: "", panel: "", expected: sidebar },
                { tag: "with text", text: "hi", panel: "", expected: sidebar.concat(["sendButton"]) },
                { tag: "about panel", text: "", panel: "about", expected: sidebar.concat(["closeButton", "makerLink"]) },
                { tag: "model panel", text: "", panel: "model",
                  expected: sidebar.concat(["closeButton", "modeCloudAPI", "modeLocalQwen", "providerGrok",
                                            "providerDoubao", "providerChatGPT", "providerGemini", "providerDeepSeek",
                                            "apiKeyField", "modelChoices", "refreshModels", "baseUrlField",
                                            "testConnectionButton"]) }
            ]
        }

        function test_tabOrder(data) {
            ChatViewModel.inputText = data.text
            if (data.panel)
                openPanel(data.panel)
            compare(tabRound(Qt.Key_Tab), data.expected)
            compare(tabRound(Qt.Key_Backtab), [data.expected[0]].concat(data.expected.slice(1).reverse()))
        }

        // Return sends whatever the modifier but Shift; blank text stays unsent.
        function test_inputKeys_data() {
            const lineBreak = { left: "a\nb", text: "ab", at: [1, 1], key: Qt.Key_Return, mods: Qt.ShiftModifier }
            return [
                { tag: "return", text: "hi", key: Qt.Key_Return, mods: Qt.NoModifier, left: "" },
                { tag: "ctrl+return", text: "hi", key: Qt.Key_Return, mods: Qt.ControlModifier, left: "" },
                { tag: "alt+return", text: "hi", key: Qt.Key_Return, mods: Qt.AltModifier, left: "" },
                { tag: "blank", text: " \n ", key: Qt.Key_Return, mods: Qt.NoModifier, left: " \n " },
                Object.assign({ tag: "shift+return" }, lineBreak),
                Object.assign({ tag: "keypad enter" }, lineBreak, { key: Qt.Key_Enter, mods: Qt.KeypadModifier }),
                Object.assign({ tag: "over a selection" }, lineBreak, { text: "a b", at: [1, 2] }),
                { tag: "tab moves on, space sends", text: "a", key: Qt.Key_Tab, mods: Qt.NoModifier, then: Qt.Key_Space,
                  left: "" }
            ]
        }

        function test_inputKeys(data) {
            for (const ch of data.text)
                keyClick(ch === "\n" ? Qt.Key_Return : ch, ch === "\n" ? Qt.ShiftModifier : Qt.NoModifier)
            compare(ChatViewModel.inputText, data.text, "the field writes through as typed")
            if (data.at)
                input.select(data.at[0], data.at[1])
            keyClick(data.key, data.mods)
            if (data.then) {
                compare(focusedName(), "sendButton")
                keyClick(data.then)
            }
            compare(ChatViewModel.inputText, data.left)
            compare(input.text, data.left)
            compare(ChatViewModel.messages.count, data.left ? 0 : 2)
            tryCompare(input, "activeFocus", true, 1000, "the focus ends in the input")
            tryCompare(ChatViewModel, "isGenerating", false)
        }

        function test_listFromTheKeyboard() {
            ChatViewModel.newConversation(false)
            ChatViewModel.newConversation(false)
            const ids = [0, 1, 2].map(row => list.itemAtIndex(row).conversationId)
            list.forceActiveFocus(Qt.TabFocusReason)
            for (const [key, row] of [[Qt.Key_Down, 1], [Qt.Key_End, 2], [Qt.Key_Down, 2], [Qt.Key_Home, 0],
                                      [Qt.Key_Down, 1]]) {
                keyClick(key)
                compare(ChatViewModel.currentConversationId, ids[row], "key " + key)
            }
            keyClick(Qt.Key_Delete) // asks nothing; the selection moves to the top row
            compare(list.count, 2)
            compare(ChatViewModel.currentConversationId, ids[0])
            verify(list.activeFocus && list.itemAtIndex(0).showsFocus, "the list keeps the focus, with the ring")
            keyClick(Qt.Key_Menu)
            tryCompare(findChild(list.itemAtIndex(0), "rowMenu"), "opened", true)
            keyClick(Qt.Key_Escape)
            tryCompare(findChild(list.itemAtIndex(0), "rowMenu"), "opened", false)
            list.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Return)
            compare(input.activeFocus, true, "Return goes on to the input field")
        }

        function test_shortcutsWorkFromAnyFocus_data() {
            return [{ tag: "input", focus: "inputArea" }, { tag: "list", focus: "conversationList" },
                    { tag: "panel button", focus: "personaButton" }]
        }

        function test_shortcutsWorkFromAnyFocus(data) {
            findChild(content, data.focus).forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_N, Qt.ControlModifier)
            compare(list.count, 2)
            compare(list.itemAtIndex(0).isSelected, true, "the new conversation is selected")
            const panels = ["mobile", "model", "persona", "about", ""] // the open panel's shortcut closes it
            for (let i = 0; i < panels.length; ++i) {
                keyClick(Qt.Key_1 + Math.min(i, 3), Qt.ControlModifier)
                compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value[panels[i]])
            }
            if (!input.activeFocus) {
                keyClick(Qt.Key_L, Qt.ControlModifier)
                compare(input.focusReason, Qt.ShortcutFocusReason)
            }
            compare(input.activeFocus, true)
        }

        // Where the focus is when Escape (or another panel's shortcut) is
        // pressed: clicked, tabbed to or selected in. It comes back to the input.
        function test_closingAPanelFromAnyFocus_data() {
            const named = name => view => findChild(view, name)
            const field = name => view => findChild(view, name).input
            const message = () => {
                TestHarness.addMessage("assistant", "Copy this line")
                return findChild(row(transcript, 0), "messageText")
            }
            return [
                { tag: "input", panel: "about", how: "tab", target: () => input },
                { tag: "close button", panel: "about", how: "tab", target: named("closeButton") },
                { tag: "phone address clicked", panel: "mobile", how: "click", target: named("serverAddress") },
                { tag: "phone address tabbed to", panel: "mobile", how: "tab", target: named("serverAddress") },
                { tag: "API key field", panel: "model", how: "click", target: field("apiKeyField") },
                { tag: "Ctrl+3 in the API key field", panel: "model", how: "click", target: field("apiKeyField"),
                  key: Qt.Key_3, next: "persona" },
                { tag: "model field", panel: "model", how: "click", target: field("modelField") },
                { tag: "soul editor", panel: "persona", how: "click", target: view => findChild(view, "markdownText").textArea },
                { tag: "selected message text", panel: "about", how: "select", target: message, stays: true }
            ]
        }

        function test_closingAPanelFromAnyFocus(data) {
            ChatViewModel.toggleServer() // the phone address shows while it runs
            tryVerify(() => ChatViewModel.serverURL.length > 0)
            const target = data.target(openPanel(data.panel))
            tryVerify(() => target.visible && target.width > 0)
            if (data.how === "click")
                mouseClick(target)
            else if (data.how === "tab")
                target.forceActiveFocus(Qt.TabFocusReason)
            else
                target.selectAll()
            keyClick(data.key || Qt.Key_Escape, data.key ? Qt.ControlModifier : Qt.NoModifier)
            compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value[data.next])
            compare(input.activeFocus, !data.stays, "the focus is in the input field")
        }

        function test_clicksLeaveTheFocusInTheInput() {
            ChatViewModel.newConversation(false)
            TestHarness.addMessage("user", "List my notes")
            TestHarness.addToolCall("list_directory", { path: "~/notes" })
            TestHarness.addToolResult("list_directory", true, "a.md\nb.md")
            input.forceActiveFocus()
            const other = list.itemAtIndex(1)
            mouseClick(other)
            compare(ChatViewModel.currentConversationId, other.conversationId)
            mouseClick(findChild(list.itemAtIndex(0), "rowBadge"))
            mouseClick(findChild(content, "aboutButton"))
            compare(input.activeFocus, true, "after the rows and the panel button")
            ChatViewModel.closeInspector()
            tryCompare(findChild(content, "inspectorOverlay"), "visible", false)

            const result = findChild(row(transcript, 2), "toolResultView")
            const header = findChild(result, "resultHeader")
            mouseClick(header)
            compare(result.isExpanded, true)
            mouseClick(findChild(row(transcript, 0), "messageText"))
            compare(input.activeFocus, true, "after the result header and the message text")
            keyClick(Qt.Key_A) // the next words typed go to the input; Space does not fold the result
            keyClick(Qt.Key_Space)
            compare(ChatViewModel.inputText, "a ")
            compare(result.isExpanded, true)
            header.forceActiveFocus(Qt.TabFocusReason) // from the keyboard, Space folds it
            compare(header.visualFocus, true)
            keyClick(Qt.Key_Space)
            compare(result.isExpanded, false)
        }
    }
}
