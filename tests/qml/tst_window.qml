import QtQuick
import QtQuick.Controls
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Shell
import Emberglass.TestHarness
import Emberglass.ViewTestSupport

// The main window wired to the controller: the launch phases, the sidebar's
// rows and panel buttons, the inspector overlay, the transcript's rows and
// banners, the actions on a message, the approval card, the input bar, and all
// of it from the keyboard.
Item {
    id: scene
    width: 940
    height: 680

    TestCase {
        name: "Launch"
        when: windowShown

        function init() {
            failOnWarning(/.?/)
        }

        Component {
            id: rootComponent
            RootView { width: scene.width; height: scene.height; timeScale: 0.05 }
        }

        function test_launchPhases_data() {
            return [{ tag: "first launch", onboarded: false }, { tag: "later launches", onboarded: true }]
        }

        function test_launchPhases(data) {
            TestHarness.reset()
            ChatViewModel.hasCompletedOnboarding = data.onboarded
            const root = createTemporaryObject(rootComponent, scene)
            const phases = []
            root.phaseChanged.connect(() => phases.push(root.phase))
            compare(root.phase, RootView.Splash)
            if (!data.onboarded) {
                tryCompare(root, "phase", RootView.Onboarding)
                tryCompare(findChild(root, "onboardingLayer"), "opacity", 1)
                findChild(root, "onboardingLayer").item.completed()
                compare(ChatViewModel.hasCompletedOnboarding, true)
            }
            tryCompare(root, "phase", RootView.Main)
            compare(phases, data.onboarded ? [RootView.Main] : [RootView.Onboarding, RootView.Main])
            tryCompare(findChild(root, "onboardingLayer"), "active", false)
            tryCompare(findChild(root, "splashLayer"), "active", false)
            tryCompare(findChild(root, "inputArea"), "activeFocus", true, 10000, "typing goes to the input")
        }
    }

    // The window's content, sized as the scene, against a controller reset to
    // launch state, with the focus in the input field.
    TestCase {
        name: "MainWindow"
        when: windowShown

        property var content
        property var input
        property var list
        property var transcript
        property var card

        Component {
            id: contentComponent
            ContentView {}
        }

        function init() {
            failOnWarning(/.?/) // a QML warning (binding loop, null read) is a fault
            TestHarness.reset()
            tryCompare(ChatViewModel.backends, "serviceAvailable", true)
            tryCompare(ChatViewModel.localModelSetup, "isLoadingModel", false)
            content = createTemporaryObject(contentComponent, parent, { width: parent.width, height: parent.height })
            input = findChild(content, "inputArea")
            list = findChild(content, "conversationList")
            transcript = findChild(content, "transcript")
            input.forceActiveFocus()
        }

        function cleanup() {
            ChatViewModel.stopGeneration() // a card still waiting
        }

        // Row `index` of a list view, scrolled into view.
        function row(view, index) {
            tryVerify(() => view.count > index)
            view.positionViewAtIndex(index, ListView.Contain)
            return view.itemAtIndex(index)
        }

        // The text an item shows; none while it is hidden.
        function textOf(parent, name) {
            const item = findChild(parent, name)
            return item.visible ? item.text : ""
        }

        // A field's text item is named after the field that holds it.
        function focusedName() {
            const item = content.Window.activeFocusItem
            return !item ? "" : item.objectName || (item.parent ? item.parent.objectName : "")
        }

        function openPanel(name) {
            ChatViewModel.togglePanel(InspectorSidebarPanel.Value[name])
            tryCompare(findChild(content, "inspectorOverlay"), "progress", 1)
            return findChild(content, "inspectorView")
        }

        Component {
            id: rowComponent
            ConversationRow { conversationId: "c"; title: "Trip"; titleMarkup: "Trip"; excerptMarkup: ""; width: 240 }
        }

        // A row words its date against the clock as it paints, and reads it out.
        // Dates ahead of the clock are tst_ui_backend's.
        function test_rowDate() {
            const item = createTemporaryObject(rowComponent, scene, { updatedAt: new Date(Date.now() - 310 * 1000) })
            compare(textOf(item, "rowDate"), "5 minutes ago")
            compare(item.Accessible.description, "Updated 5 minutes ago")
        }

        function test_panelButtonsAndOverlay() {
            const overlay = findChild(content, "inspectorOverlay")
            mouseClick(findChild(content, "modelButton"))
            tryCompare(overlay, "progress", 1)
            const view = findChild(overlay, "inspectorView")
            mouseClick(findChild(content, "personaButton"))
            compare(view.panel, InspectorSidebarPanel.Value.persona)
            mouseClick(findChild(content, "personaButton"))
            compare(ChatViewModel.inspectorPanel, undefined)
            tryCompare(overlay, "visible", false)

            // At the smallest window the panel fits beside a dimmed strip that closes it.
            content.width = 800
            content.height = 560
            mouseClick(findChild(content, "aboutButton"))
            tryCompare(overlay, "progress", 1)
            verify(findChild(overlay, "panelFrame").width >= 400)
            compare(findChild(overlay, "dimStrip").width + findChild(overlay, "panelFrame").width,
                    findChild(content, "chatArea").width)
            mouseClick(findChild(overlay, "dimStrip"))
            compare(ChatViewModel.inspectorPanel, undefined)
        }

        function test_messagesShowExactlyAsWritten() {
            TestHarness.addMessage("user", "Where is <b>my</b> file?")
            TestHarness.addMessage("assistant", "In **Documents**.")
            compare([textOf(row(transcript, 0), "roleLabel"), textOf(row(transcript, 1), "roleLabel")], ["YOU", "AI"])
            compare(findChild(row(transcript, 0), "messageText").textFormat, TextEdit.PlainText, "never interpreted")
            TestHarness.addMessage("assistant", "")
            compare(findChild(row(transcript, 2), "waveformLoader").active, false, "no waveform unless being written")
        }

        function test_aReplyBeingGeneratedAndStopped() {
            compare(findChild(content, "bootScreenLoader").active, true, "an empty conversation shows the boot screen")
            TestHarness.holdReplies()
            ChatViewModel.inputText = "think about it"
            const button = findChild(content, "sendButton")
            mouseClick(button)
            compare(findChild(content, "bootScreenLoader").active, false)
            compare(findChild(row(transcript, 0), "waveformLoader").active, false, "not for the user's message")
            compare(findChild(row(transcript, 1), "waveformLoader").active, true)
            verify(findChild(button, "stopSymbol").visible && !findChild(button, "sendSymbol").visible, "it shows the stop square")
            // Escape stops it too, once the open panel has taken the first one.
            input.forceActiveFocus()
            openPanel("about")
            keyClick(Qt.Key_Escape)
            compare(ChatViewModel.inspectorPanel, undefined)
            compare(ChatViewModel.isGenerating, true, "the panel took that Escape")
            keyClick(Qt.Key_Escape)
            compare(ChatViewModel.isGenerating, false)
            tryVerify(() => textOf(row(transcript, 1), "messageText").startsWith("Error: "), 10000, "it says why it ended")
            compare([findChild(row(transcript, 1), "errorRowLoader").active, findChild(row(transcript, 1), "waveformLoader").active],
                    [false, false], "a stop needs no mending, and it is no longer being written")
        }

        function test_toolRecords() {
            const output = Array.from({ length: 80 }, (_, i) => "line " + i).join("\n")
            TestHarness.addToolCall("write_file", { path: "<a href='https://example.com'>a.txt</a>", content: "x\n".repeat(5000) })
            TestHarness.addToolResult("write_file", false, output)
            const summary = findChild(row(transcript, 0), "toolSummary")
            compare(summary.lineCount, 1, "the arguments stay on one line")
            const links = Array.from({ length: 40 }, (_, i) => summary.linkAt(i * summary.width / 40, summary.height / 2))
            compare(links.filter(link => link !== "").length, 0, "markup the model wrote is shown as written, never a link")
            verify(summary.truncated)
            const result = row(transcript, 1)
            compare(findChild(result, "resultBadgeSymbol").name, "xmark")
            compare(textOf(result, "resultLength"), output.length + "ch")
            mouseClick(findChild(result, "resultHeader"))
            tryCompare(findChild(result, "outputArea"), "height", 200)
            compare(textOf(result, "outputText"), output, "the whole output, not cut")
            verify(findChild(result, "outputScroll").contentHeight > 200, "long output scrolls")
        }

        function test_bannersAndTheModelName() {
            const banner = name => textOf(findChild(content, name), "bannerText")
            TestHarness.setCloudReachable(false)
            tryCompare(ChatViewModel.backends, "serviceAvailable", false)
            compare(banner("unavailableBanner"), "Cannot reach API — check settings")
            TestHarness.setCloudReachable(true)
            tryCompare(ChatViewModel.backends, "serviceAvailable", true)
            compare(textOf(content, "modelName"), "Grok")

            // The load has begun; its answer comes only once the event loop runs again.
            ChatViewModel.backends.switchBackend(AIBackend.Value.local)
            compare(banner("loadingBanner"), "LOADING MODEL")
            compare(textOf(content, "modelName"), "Grok", "not before the model has loaded")
            tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.local)
            compare(textOf(content, "modelName"), "Local")
            TestHarness.setLocalModelInstalled(false)
            ChatViewModel.backends.testConnection()
            tryCompare(ChatViewModel.backends, "serviceAvailable", false)
            compare(banner("unavailableBanner"), "Local model not available")

            ChatViewModel.backends.switchBackend(AIBackend.Value.cloud)
            ChatViewModel.backends.switchBackend(AIBackend.Value.local)
            tryVerify(() => ChatViewModel.localModelSetup.modelLoadError.length > 0)
            compare(banner("loadErrorBanner"), ChatViewModel.localModelSetup.modelLoadError)
        }

        function test_inputGrowsToItsLimitThenScrolls() {
            const field = findChild(content, "chatInputField")
            const scroll = findChild(content, "inputScroll")
            compare(field.height, 42)
            ChatViewModel.inputText = "line\n".repeat(12)
            compare(field.height, 120)
            findChild(content, "inputArea").cursorPosition = ChatViewModel.inputText.length
            tryVerify(() => scroll.contentY + scroll.height >= scroll.contentHeight - 1, 10000, "the caret stays in view")
            verify(scroll.contentY > 0)
        }

        // From the keyboard: Tab order, the input's keys, the conversation list,
        // the shortcuts, Escape from wherever the focus is, and clicks that must
        // leave the focus in the input field. tabRound: the controls Tab visits from
        // the "+ NEW" button, one round.
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

        // Rows: tests/data/ui/views.json.
        function test_tabOrder_data() { return ViewTestSupport.rows("tabOrder") }

        function test_tabOrder(data) {
            ChatViewModel.inputText = data.text
            if (data.panel)
                openPanel(data.panel)
            compare(tabRound(Qt.Key_Tab), data.expected)
            compare(tabRound(Qt.Key_Backtab), [data.expected[0]].concat(data.expected.slice(1).reverse()))
        }

        // Return sends whatever the modifier but Shift; blank text stays unsent.
        // Keys and modifiers by their names in Qt.
        function test_inputKeys_data() { return ViewTestSupport.rows("inputKeys") }

        function test_inputKeys(data) {
            for (const ch of data.text)
                keyClick(ch === "\n" ? Qt.Key_Return : ch, ch === "\n" ? Qt.ShiftModifier : Qt.NoModifier)
            compare(ChatViewModel.inputText, data.text, "the field writes through as typed")
            if (data.at)
                input.select(data.at[0], data.at[1])
            keyClick(Qt["Key_" + data.key], Qt[data.mods])
            if (data.then)
                keyClick(Qt["Key_" + data.then])
            compare(ChatViewModel.inputText, data.left)
            compare(input.text, data.left)
            compare(ChatViewModel.messages.count, data.left ? 0 : 2)
            tryCompare(input, "activeFocus", true, 10000, "the focus ends in the input")
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
            keyClick(Qt.Key_Return)
            compare(input.activeFocus, true, "Return goes on to the input field")
        }

        // The shortcuts from wherever the focus is: each panel's opens it with its
        // first control focused, with the ring, and the open panel's closes it,
        // the focus back where it was; Ctrl+N starts a conversation, Ctrl+L goes
        // to the input field.
        function test_shortcutsWorkFromAnyFocus_data() {
            return [{ tag: "input", focus: "inputArea" }, { tag: "list", focus: "conversationList" },
                    { tag: "selected message text", select: true }]
        }

        function test_shortcutsWorkFromAnyFocus(data) {
            TestHarness.addMessage("assistant", "Copy this line")
            const from = data.select ? findChild(row(transcript, 0), "messageText") : findChild(content, data.focus)
            if (data.select) {
                mouseDrag(from, 2, from.height / 2, from.width / 2, 0)
                verify(from.selectedText.length > 0 && from.activeFocus, "the drag selected text: " + from.selectedText)
            } else {
                from.forceActiveFocus(Qt.TabFocusReason)
            }
            const panels = [["mobile", "serverButton"], ["model", "modeCloudAPI"], ["persona", "soulTab"],
                            ["settings", "askBeforeActingSwitch"], ["about", "makerLink"], [""]]
            for (let i = 0; i < panels.length; ++i) {
                keyClick(Qt.Key_1 + Math.min(i, 4), Qt.ControlModifier)
                compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value[panels[i][0]])
                if (panels[i][1]) {
                    tryVerify(() => focusedName() === panels[i][1], 10000, "the focus is on " + focusedName())
                    verify(content.Window.activeFocusItem.visualFocus !== false, "with the ring")
                }
            }
            compare(from.activeFocus, true, "back where it was")
            keyClick(Qt.Key_N, Qt.ControlModifier)
            compare(list.count, 2)
            compare(list.itemAtIndex(0).isSelected, true, "the new conversation is selected")
            if (!input.activeFocus) {
                keyClick(Qt.Key_L, Qt.ControlModifier)
                compare(input.focusReason, Qt.ShortcutFocusReason)
            }
            compare(input.activeFocus, true)
        }

        // Where the focus is when Escape (or another panel's shortcut) is
        // pressed: clicked, tabbed to or selected in. It comes back to the input.
        // A row names the panel's item that has the focus (none: the input field),
        // or a message whose text is selected; "part" is the item's own text field.
        function test_closingAPanelFromAnyFocus_data() { return ViewTestSupport.rows("closingAPanel") }

        function test_closingAPanelFromAnyFocus(data) {
            ChatViewModel.toggleServer() // the phone address shows while it runs
            tryVerify(() => ChatViewModel.serverURL.length > 0)
            const view = openPanel(data.panel)
            if (data.message)
                TestHarness.addMessage("assistant", data.message)
            const item = data.message ? findChild(row(transcript, 0), "messageText")
                                      : data.target ? findChild(view, data.target) : input
            const target = data.part ? item[data.part] : item
            tryVerify(() => target.visible && target.width > 0)
            if (data.how === "click")
                mouseClick(target)
            else if (data.how === "tab")
                target.forceActiveFocus(Qt.TabFocusReason)
            else
                target.selectAll()
            keyClick(data.key ? Qt["Key_" + data.key] : Qt.Key_Escape, data.key ? Qt.ControlModifier : Qt.NoModifier)
            compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value[data.next])
            if (data.next)
                tryVerify(() => findChild(content, "inspectorOverlay").holdsFocus(), 10000, "the next panel has it")
            else
                compare(input.activeFocus, !data.stays, "the focus is in the input field")
        }

        // F6 and Shift+F6 go round the regions: the sessions, the transcript
        // (once it shows messages), the input field and the open panel.
        function test_regionsWithF6() {
            const round = (key, modifiers, count) =>
                Array.from({ length: count }, () => { keyClick(key, modifiers); return focusedName() })
            compare(round(Qt.Key_F6, Qt.NoModifier, 2), ["conversationList", "inputArea"], "no transcript to visit")
            TestHarness.addMessage("user", "hello")
            compare(round(Qt.Key_F6, Qt.NoModifier, 3), ["conversationList", "message", "inputArea"])
            openPanel("model")
            input.forceActiveFocus(Qt.TabFocusReason)
            compare(round(Qt.Key_F6, Qt.NoModifier, 4), ["modeCloudAPI", "conversationList", "message", "inputArea"])
            compare(round(Qt.Key_F6, Qt.ShiftModifier, 4), ["message", "conversationList", "modeCloudAPI", "inputArea"])
        }

        // The transcript from the keyboard: the arrows go from message to message,
        // each read out, up to the first and no further; Return opens a tool
        // result; the focused one has the ring. (Home and End: the next test.)
        function test_transcriptFromTheKeyboard() {
            TestHarness.addMessage("user", "List my notes")
            TestHarness.addMessage("assistant", "Using tools...")
            TestHarness.addToolCall("list_directory", { path: "~/notes" })
            TestHarness.addToolResult("list_directory", true, "a.md\nb.md")
            TestHarness.addMessage("assistant", "Two notes.")
            const focusedMessage = () => content.Window.activeFocusItem
            const announced = () => focusedMessage().Accessible.name
            transcript.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Tab, Qt.ShiftModifier) // Tab reaches it from the panel buttons
            keyClick(Qt.Key_Tab)
            compare(transcript.currentIndex, 4, "on the latest message first")
            compare(announced(), "AI: Two notes.")
            verify(findChild(focusedMessage(), "messageFocusRing").visible)
            keyClick(Qt.Key_Up)
            compare(announced(), "Result of list_directory: succeeded")
            verify(!findChild(focusedMessage(), "outputText"), "collapsed")
            keyClick(Qt.Key_Return)
            tryVerify(() => findChild(focusedMessage(), "toolResultView").isExpanded)
            keyClick(Qt.Key_Space)
            verify(!findChild(focusedMessage(), "toolResultView").isExpanded)
            keyClick(Qt.Key_Up)
            compare(announced(), "Tool call: list_directory")
            keyClick(Qt.Key_Up)
            verify(findChild(focusedMessage(), "toolPassText").visible, "the tool pass is drawn as a tool line")
            compare(findChild(focusedMessage(), "bubble"), null)
            keyClick(Qt.Key_Up)
            compare(announced(), "You: List my notes")
            keyClick(Qt.Key_Up)
            compare(transcript.currentIndex, 0, "it stops at the first")
        }

        // A long conversation opens at its end; read from its start, Home, Page Down
        // and End scroll, and a reply that grows keeps the end in view.
        function test_transcriptScrollsFromTheKeyboard() {
            TestHarness.addExchange(60)
            tryVerify(() => transcript.atYEnd, 10000, "opens at the end")
            transcript.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Home)
            tryVerify(() => transcript.indexAt(10, transcript.contentY + transcript.topMargin) === 0, 10000, "at the start")
            compare(transcript.currentIndex, 0)
            const top = transcript.contentY
            keyClick(Qt.Key_PageDown)
            verify(transcript.contentY - top > transcript.height / 2, "a page down")
            keyClick(Qt.Key_End)
            tryVerify(() => transcript.atYEnd)
            TestHarness.addMessage("assistant", "one more")
            tryVerify(() => transcript.atYEnd, 10000, "End follows the end again")
            transcript.positionViewAtBeginning()
            TestHarness.answerWith(Array.from({ length: 40 }, (_, i) => "paragraph " + i).join("\n"))
            ChatViewModel.inputText = "and now a long answer"
            ChatViewModel.sendMessage()
            tryCompare(ChatViewModel, "isGenerating", false)
            tryVerify(() => transcript.atYEnd, 10000, "the grown reply stays in view")
        }

        // A failed reply shows its error in a row with the button that mends it;
        // what is stored (and sent to the model later) is the "Error: …" text.
        function test_aFailedReplyOffersItsFix_data() { return ViewTestSupport.rows("failedReplies") }

        function test_aFailedReplyOffersItsFix(data) {
            TestHarness.failRepliesWith(data.status, data.body)
            ChatViewModel.inputText = "hi"
            ChatViewModel.sendMessage()
            tryCompare(ChatViewModel, "isGenerating", false)
            const reply = row(transcript, 1)
            tryCompare(findChild(reply, "errorRowLoader"), "active", true)
            compare(findChild(reply, "messageText").visible, false, "not as the agent's words")
            const error = findChild(reply, "errorText")
            // The row shows the stored text a frame after it changed.
            tryVerify(() => error.text.startsWith("Error: ") && error.text.includes(data.says), 10000, error.text)
            const fix = findChild(reply, "fixButton")
            compare(fix.text, data.button)
            TestHarness.answerWith("fine")
            input.forceActiveFocus()
            mouseClick(fix)
            if (data.button === "RETRY") {
                tryCompare(ChatViewModel.messages, "count", 4)
                tryCompare(ChatViewModel, "isGenerating", false)
                compare(textOf(row(transcript, 2), "messageText"), "hi", "the question asked again")
                tryCompare(findChild(row(transcript, 3), "messageText"), "text", "fine")
                compare(findChild(row(transcript, 1), "errorText").text, error.text, "the failure stays as it was")
            } else {
                compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value.model)
            }
        }


        // Files dropped on the window, or chosen with the paper clip's Ctrl+O, go
        // into the message at the insertion point as paths.
        function test_filesIntoTheMessage() {
            ChatViewModel.inputText = "read  please"
            input.cursorPosition = 5
            verify(ViewTestSupport.dropFiles(content, content.width / 2, content.height / 3,
                                             ["file:///etc/hosts", "file:///tmp/a%20b.txt"]))
            compare(ChatViewModel.inputText, "read /etc/hosts \"/tmp/a b.txt\" please")
            compare(input.activeFocus, true, "typing goes on in the message")

            const dialog = findChild(content, "attachDialog")
            input.cursorPosition = input.length
            keyClick(Qt.Key_O, Qt.ControlModifier)
            tryCompare(dialog, "visible", true)
            dialog.selectedFile = "file:///etc/passwd"
            // As the desktop's dialog ends: the choice made, then accepted. (Qt's own
            // stand-in clears a choice not clicked in its list when accepted.)
            dialog.accepted()
            dialog.close()
            tryCompare(ChatViewModel, "inputText", "read /etc/hosts \"/tmp/a b.txt\" please /etc/passwd")
        }

        // The sidebar opens as wide as it was left, and a new width is kept.
        function test_theSidebarKeepsItsWidth() {
            WindowMemory.sidebarWidth = 320
            const other = createTemporaryObject(contentComponent, scene, { width: scene.width, height: scene.height })
            const sidebar = findChild(other, "sidebar")
            tryCompare(sidebar, "width", 320)
            sidebar.SplitView.preferredWidth = 350 // as a drag of its edge sets it
            tryCompare(WindowMemory, "sidebarWidth", 350)
            compare(sidebar.width, 350)
            WindowMemory.sidebarWidth = 250
        }

        // The MOBILE panel shows the phone address as a QR code, which reads
        // back (as a phone's camera does) to the address with its key.
        function test_phoneAddressAsQrCode() {
            ChatViewModel.toggleServer()
            tryVerify(() => ChatViewModel.serverURL.includes("?key="))
            const view = openPanel("mobile")
            const code = findChild(view, "addressQrCode")
            tryCompare(code, "status", Image.Ready)
            compare(code.Accessible.name, "QR code for the phone address")
            const picture = ViewTestSupport.scratchFile("phone-address.png")
            grabImage(content).save(picture) // the whole window: the code is the one in it
            compare(ViewTestSupport.readQrCode(picture), ChatViewModel.serverURL)
            ChatViewModel.toggleServer()
            tryCompare(code, "visible", false)
        }

        // Also the sidebar from the mouse: the new conversation's button and a row's menu.
        function test_clicksLeaveTheFocusInTheInput() {
            mouseClick(findChild(content, "newSessionButton"))
            TestHarness.addMessage("user", "List my notes")
            TestHarness.addToolCall("list_directory", { path: "~/notes" })
            TestHarness.addToolResult("list_directory", true, "a.md\nb.md")
            input.forceActiveFocus()
            const other = list.itemAtIndex(1)
            mouseClick(other)
            compare(ChatViewModel.currentConversationId, other.conversationId)
            mouseClick(findChild(list.itemAtIndex(0), "rowBadge"))
            compare(input.activeFocus, true, "after the rows")
            mouseClick(findChild(content, "aboutButton")) // the panel takes it, and gives it back
            tryVerify(() => findChild(content, "inspectorOverlay").holdsFocus())
            ChatViewModel.closeInspector()
            compare(input.activeFocus, true, "after the panel")
            tryCompare(findChild(content, "inspectorOverlay"), "visible", false)

            const result = findChild(row(transcript, 2), "toolResultView")
            const header = findChild(result, "resultHeader")
            mouseClick(header)
            mouseClick(findChild(row(transcript, 0), "messageText"))
            compare(input.activeFocus, true, "after the result header and the message text")
            keyClick(Qt.Key_A) // the next words typed go to the input; Space does not fold the result
            keyClick(Qt.Key_Space)
            compare(ChatViewModel.inputText, "a ")
            compare(result.isExpanded, true)

            const target = row(list, 1)
            mouseClick(target, 10, 10, Qt.RightButton)
            tryCompare(findChild(target, "rowMenu"), "opened", true)
            findChild(target, "deleteItem").triggered()
            compare(list.count, 1)
        }

        // The sessions list beyond choosing a conversation: searching it (Ctrl+F,
        // matches marked), the row's menu, renaming a row in place, and taking a
        // deletion back.

        // Conversations named `titles`, the last one the top row; with one message each.
        function addConversations(titles) {
            for (const title of titles) {
                ChatViewModel.newConversation(false)
                TestHarness.addMessage("user", "about " + title.toLowerCase())
                TestHarness.nameConversation(title)
            }
        }

        function type(text) {
            for (const ch of text)
                keyClick(ch === "\b" ? Qt.Key_Backspace : ch)
        }

        function test_theSessionsList() {
            addConversations(["Older<br>", "Budget", "Garden"])
            const older = list.itemAtIndex(2).conversationId
            keySequence(StandardKey.Find)
            const field = findChild(content, "searchField")
            verify(field.activeFocus, "Ctrl+F goes to the search")
            type("bud")
            tryCompare(list, "count", 1)
            // Text of a message: shown under the title (what matches, and how it is
            // marked, is tst_kept_conversations').
            type("\b\b\babout g")
            tryVerify(() => list.count === 1 && list.itemAtIndex(0)?.title === "Garden")
            compare(findChild(list.itemAtIndex(0), "rowExcerpt").visible, true)
            keyClick(Qt.Key_Return)
            const garden = list.itemAtIndex(0).conversationId
            compare(ChatViewModel.currentConversationId, garden)
            verify(list.activeFocus, "Return goes on to the matches")
            field.forceActiveFocus()
            keyClick(Qt.Key_Escape)
            tryCompare(list, "count", 4) // and the launch conversation
            compare(ChatViewModel.search.text, "")

            // A deletion taken back with the undo bar's button, then one with
            // Ctrl+Z, the keyboard's way back.
            const bar = findChild(content, "undoBar")
            for (const undo of [() => mouseClick(findChild(bar, "undoButton")), () => keySequence(StandardKey.Undo)]) {
                list.forceActiveFocus(Qt.TabFocusReason)
                ChatViewModel.currentConversationId = older
                keyClick(Qt.Key_Delete)
                tryCompare(list, "count", 3)
                verify(bar.visible)
                compare(findChild(bar, "undoText").text, "Deleted \u201cOlder<br>\u201d \u2014")
                compare(findChild(bar, "undoText").lineCount, 1) // the title's markup stays text
                undo()
                tryCompare(list, "count", 4)
                verify(!bar.visible)
            }

            // The chosen row's menu from the Menu key; F2 renames it in place,
            // Escape cancels, Return keeps.
            ChatViewModel.currentConversationId = garden
            list.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Menu)
            const item = list.itemAtIndex(0)
            const menu = findChild(item, "rowMenu")
            tryCompare(menu, "opened", true)
            compare(Array.from({ length: menu.count }, (_, i) => menu.itemAt(i).text),
                    ["Rename", "Export as Markdown…", "Delete"])
            menu.close()
            list.forceActiveFocus(Qt.TabFocusReason)
            const nameField = findChild(item, "nameField")
            for (const [key, expected] of [[Qt.Key_Escape, "Garden"], [Qt.Key_Return, "Renamed"]]) {
                keyClick(Qt.Key_F2)
                tryCompare(nameField, "activeFocus", true)
                compare(nameField.selectedText, "Garden")
                keySequence("ctrl+a")
                type("Renamed")
                keyClick(key)
                compare(item.renaming, false)
                compare(item.title, expected)
                // The list itself, not the hidden field inside it, which would
                // swallow Delete, Home and End.
                compare(list.Window.activeFocusItem, list, "the list has the focus again")
            }
            // Leaving the field by a click keeps the name, and the focus where it went.
            keyClick(Qt.Key_F2)
            tryCompare(nameField, "activeFocus", true)
            type("Kept")
            mouseClick(input)
            compare(item.title, "Kept")
            compare(list.Window.activeFocusItem, input, "the focus stays where the click put it")
        }

        // The actions on a message from the keyboard (its keys, the Menu key and
        // the menu's own keys), the context menu and the hover buttons.

        // Row `index` with the transcript's keyboard focus on it.
        function focusRow(index) {
            transcript.forceActiveFocus(Qt.TabFocusReason)
            transcript.showMessage(index)
            const row = transcript.itemAtIndex(index)
            tryCompare(row, "activeFocus", true)
            return row
        }

        // The row is asked for again each time: the one there before the reply
        // came may be another item, put back in the view's pool.
        function tryContentAt(index, text) {
            tryVerify(() => transcript.itemAtIndex(index)?.content === text, 10000, "row " + index + " reads " + text)
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
            const row = focusRow(data.row)
            const bar = findChild(row, "actionsBarLoader")
            compare(bar.active, data.copy, "the buttons show on keyboard focus")
            if (!data.copy)
                return
            compare(findChild(bar.item, "copyMessageButton").Accessible.name, "Copy message")
            const shown = (parent, names) => names.map(name => findChild(parent, name).visible)
            compare(shown(bar.item, ["editMessageButton", "regenerateButton"]), [data.edit, data.regenerate])
            const menu = openMenu(row)
            compare(shown(menu, ["editMessageItem", "regenerateItem"]), [data.edit, data.regenerate])
            keyClick(Qt.Key_Escape)
            tryCompare(menu, "visible", false)
        }

        // Copy message from the row's key, and the button the pointer shows.
        function test_copyMessage() {
            TestHarness.addMessage("user", "Where is **it**?")
            TestHarness.addMessage("assistant", "In `~/notes`:\n\n- a\n- b")
            focusRow(0)
            keySequence(StandardKey.Copy)
            compare(ViewTestSupport.clipboardText(), "Where is **it**?", "the message as written")
            const reply = transcript.itemAtIndex(1)
            const bar = findChild(reply, "actionsBarLoader")
            compare(bar.active, false)
            mouseMove(reply, reply.width / 2, reply.height / 2)
            tryCompare(bar, "active", true)
            mouseClick(findChild(bar.item, "copyMessageButton"))
            compare(ViewTestSupport.clipboardText(), "In `~/notes`:\n\n- a\n- b")
        }

        // Edit and resend (the question changed), or Regenerate from the reply's
        // menu: the reply goes with its tool records, and the question is asked again.
        function test_askedAgain_data() {
            return [{ tag: "edit and resend", edit: true, asked: "What is in the box (and the lid)?" },
                    { tag: "regenerate", asked: "What is in the box?" }]
        }

        function test_askedAgain(data) {
            TestHarness.answerWith("A better answer.")
            TestHarness.addMessage("user", "What is in the box?")
            TestHarness.addMessage("assistant", "Using tools...")
            TestHarness.addToolCall("list_directory", { path: "/box" })
            TestHarness.addToolResult("list_directory", true, "lid")
            TestHarness.addMessage("assistant", "Nothing.")
            if (data.edit) {
                focusRow(0)
                keyClick(Qt.Key_E, Qt.ControlModifier)
                compare(ChatViewModel.inputText, "What is in the box?", "the question is back in the input")
                compare(ChatViewModel.messages.count, 5, "nothing is removed before sending")
                tryCompare(findChild(content, "inputArea"), "activeFocus", true)
                ChatViewModel.inputText = data.asked // the user's change
                keyClick(Qt.Key_Return)
            } else {
                mouseClick(findChild(openMenu(focusRow(4)), "regenerateItem"))
            }
            tryCompare(ChatViewModel, "isGenerating", false)
            tryCompare(ChatViewModel.messages, "count", 2)
            tryContentAt(0, data.asked)
            tryContentAt(1, "A better answer.")
        }

        // The card of a call that waits for the user's approval: what it shows
        // and reads out, and each answer from the keyboard.

        // Sends a message whose reply calls `tool`; returns its card once it has the focus.
        function ask(tool, args) {
            TestHarness.callToolNext(tool, args)
            ChatViewModel.inputText = "go"
            ChatViewModel.sendMessage()
            tryCompare(ChatViewModel.toolApproval, "isPending", true)
            card = findChild(transcript, "approvalCard")
            tryCompare(card, "visible", true)
            tryCompare(findChild(card, "approvalAllow"), "activeFocus", true, 10000, "the card takes the focus")
            return card
        }

        function resultRow() {
            tryVerify(() => transcript.count === 5, 10000, "call, result and the reply after it")
            transcript.positionViewAtIndex(3, ListView.Contain)
            return transcript.itemAtIndex(3)
        }

        function test_theAnswerFromTheKeyboard_data() {
            return [
                { tag: "Enter allows", keys: [Qt.Key_Return], success: true },
                { tag: "Tab, Enter: for this conversation", keys: [Qt.Key_Tab, Qt.Key_Enter], success: true, always: true },
                { tag: "Escape denies", keys: [Qt.Key_Escape], success: false }
            ]
        }

        function test_theAnswerFromTheKeyboard(data) {
            // Shown as written, not as markup (a tag would hide the line break).
            ask("run_command", { command: "printf '<b>approved</b>'\necho twice" })
            const target = findChild(card, "approvalTarget") // the whole command
            compare([findChild(card, "approvalTool").text, findChild(card, "toolSymbol").name, target.text, target.lineCount,
                     target.Accessible.name, findChild(card, "approvalDescription").visible],
                    ["run_command", "terminal", "printf '<b>approved</b>'\necho twice", 2, "Command: printf '<b>approved</b>'\necho twice", false])
            data.keys.forEach(key => keyClick(key))
            tryCompare(card, "visible", false)
            tryCompare(input, "activeFocus", true, 10000, "the focus goes back where it was")
            const result = resultRow().toolResult
            compare([result.success, result.output],
                    [data.success, data.success ? "exit code: 0\n<b>approved</b>twice\n" : "The user declined this run_command call."])
            tryCompare(ChatViewModel, "isGenerating", false)
            // Allowed for the conversation, the next command there runs unasked; else it asks.
            TestHarness.callToolNext("run_command", { command: "true" })
            ChatViewModel.inputText = "again"
            ChatViewModel.sendMessage()
            if (data.always) {
                tryCompare(ChatViewModel, "isGenerating", false)
                compare(transcript.count, 10)
            } else {
                tryCompare(card, "visible", true)
            }
        }

        // A Space or Return typed into the next message as the card appears answers nothing.
        function test_keysTypedAsTheCardAppearsAnswerNothing() {
            card = findChild(transcript, "approvalCard")
            card.armDelay = 3600000
            TestHarness.callToolNext("run_command", { command: "true" })
            ChatViewModel.inputText = "go"
            ChatViewModel.sendMessage()
            tryCompare(card, "visible", true)
            ;[Qt.Key_Space, Qt.Key_Return, Qt.Key_Enter].forEach(key => keyClick(key))
            verify(ChatViewModel.toolApproval.isPending, "still asking")
            ;[Qt.Key_Tab, Qt.Key_Return].forEach(key => keyClick(key)) // a deliberate answer
            verify(resultRow().toolResult.success, "allowed, it ran")
        }

        function test_aFileShowsItsPathAndContentAndStaysWithItsConversation() {
            // A mark that reverses what follows it is spelt out, not obeyed; a
            // relative path also shows the folder it lands in.
            ask("write_file", { path: "nonexistent-folder/notes\u202Etxt.exe", content: "first\nsecond\n" + "x\n".repeat(20) })
            const target = findChild(card, "approvalTarget")
            compare([findChild(card, "toolSymbol").name, target.text, target.Accessible.name, findChild(card, "approvalDescription").text],
                    ["square.and.pencil", "nonexistent-folder/notes<U+202E>txt.exe", "File: nonexistent-folder/notes<U+202E>txt.exe", "new file"])
            const reached = findChild(card, "approvalReached")
            verify(reached.visible && /^Writes to: \/.+\/nonexistent-folder\/notes<U\+202E>txt\.exe$/.test(reached.text), reached.text)
            const written = findChild(card, "approvalContent")
            verify(written.text.startsWith("first\nsecond\nx\n"))
            compare(written.text.split("\n").length, 9, "the first eight lines and a mark")
            // A file with a second name says why it asks.
            verify(!findChild(card, "approvalOtherNames").visible)
            ChatViewModel.toolApproval.deny()
            tryCompare(ChatViewModel, "isGenerating", false)
            ask("write_file", { path: TestHarness.fileWithTwoNames(), content: "x" })
            const why = findChild(card, "approvalOtherNames")
            compare([why.visible, why.text],
                    [true, "This file has other names too (hard links: 1 more); writing changes it under every name."])

            // The card stays with its conversation, and Stop denies it.
            const asking = ChatViewModel.currentConversationId
            ChatViewModel.newConversation(false)
            tryCompare(card, "visible", false)
            verify(ChatViewModel.toolApproval.isPending, "it still waits")
            ChatViewModel.currentConversationId = asking
            tryCompare(card, "visible", true)
            mouseClick(findChild(content, "sendButton")) // Stop
            tryCompare(card, "visible", false)
        }
    }
}
