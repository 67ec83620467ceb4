import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Shell
import Emberglass.Theme
import Emberglass.TestHarness

// The main window wired to the controller: the launch phases, the sidebar's
// rows and panel buttons, the inspector overlay, the transcript's rows and
// banners, and the input bar.
Item {
    id: scene
    width: 940
    height: 680

    TestCase {
        name: "Launch"
        when: windowShown

        Component {
            id: rootComponent
            RootView {
                width: scene.width
                height: scene.height
                timeScale: 0.05
            }
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
            compare(findChild(root, "mainLayer").active, false)
            if (!data.onboarded) {
                tryCompare(root, "phase", RootView.Onboarding)
                const onboarding = findChild(root, "onboardingLayer")
                tryCompare(onboarding, "opacity", 1)
                compare(ChatViewModel.hasCompletedOnboarding, false)
                onboarding.item.completed()
                compare(ChatViewModel.hasCompletedOnboarding, true)
            }
            tryCompare(root, "phase", RootView.Main)
            compare(phases, data.onboarded ? [RootView.Main] : [RootView.Onboarding, RootView.Main])
            tryCompare(findChild(root, "mainLayer"), "opacity", 1)
            tryCompare(findChild(root, "onboardingLayer"), "active", false)
            tryCompare(findChild(root, "splashLayer"), "active", false)
            // Typing goes straight to the input field.
            tryCompare(findChild(root, "inputArea"), "activeFocus", true)
        }
    }

    TestCase {
        name: "MainWindow"
        when: windowShown

        Component {
            id: contentComponent
            ContentView {}
        }

        Component {
            id: rowComponent
            ConversationRow {
                conversationId: "c"
                title: "Trip"
                width: 240
            }
        }

        property var content
        property var list
        property var transcript

        function init() {
            TestHarness.reset()
            tryCompare(ChatViewModel, "serviceAvailable", true)
            tryCompare(ChatViewModel, "isLoadingModel", false)
            content = createTemporaryObject(contentComponent, scene, { width: scene.width, height: scene.height })
            list = findChild(content, "conversationList")
            transcript = findChild(content, "transcript")
            tryCompare(overlay(), "visible", false)
        }

        function overlay() {
            return findChild(content, "inspectorOverlay")
        }

        function row(view, index) {
            tryVerify(() => view.count > index)
            view.positionViewAtIndex(index, ListView.Contain)
            return view.itemAtIndex(index)
        }

        function text(parent, name) {
            return findChild(parent, name).text
        }

        // Equal as drawn: text items keep 8 bits a channel.
        function sameColor(actual, expected) {
            return Qt.color(actual).toString() === Qt.color(expected).toString()
        }

        function test_rowsFromTheMouse() {
            const newButton = findChild(content, "newSessionButton")
            mouseClick(newButton)
            mouseClick(newButton)
            compare(list.count, 3)
            compare(row(list, 0).isSelected, true, "a new conversation comes first, selected")
            compare(text(row(list, 0), "rowTitle"), "New Chat")
            mouseClick(row(list, 2))
            compare(ChatViewModel.currentConversationId, row(list, 2).conversationId)
            compare(row(list, 0).isSelected, false)

            const target = row(list, 0)
            mouseClick(target, target.width / 2, target.height / 2, Qt.RightButton)
            tryCompare(findChild(target, "rowMenu"), "opened", true)
            compare(findChild(target, "deleteItem").text, "Delete")
            findChild(target, "deleteItem").triggered()
            compare(list.count, 2)
            compare(row(list, 1).isSelected, true, "deleting another row keeps the selection")
        }

        // A row words its date against the clock as it paints, never against a
        // clock kept since the sidebar last looked: a fresh change is "now".
        function test_rowDatesNeverLieAhead_data() {
            return [
                { tag: "a clock running behind", offset: 16, expected: "now" },
                { tag: "under a minute", offset: -50, expected: "now" },
                { tag: "minutes", offset: -310, expected: "5 minutes ago" }
            ]
        }

        function test_rowDatesNeverLieAhead(data) {
            const item = createTemporaryObject(rowComponent, scene, { updatedAt: new Date(Date.now() + data.offset * 1000) })
            compare(text(item, "rowDate"), data.expected)
            compare(item.Accessible.description, "Updated " + data.expected)
        }

        function test_panelButtonsAndOverlay() {
            const model = findChild(content, "modelButton")
            const persona = findChild(content, "personaButton")
            mouseClick(model)
            compare(ChatViewModel.inspectorPanel, "model")
            compare(findChild(model, "chevron").name, "chevron.left")
            tryCompare(overlay(), "progress", 1)
            const view = findChild(overlay(), "inspectorView")
            compare(view.panel, "model")
            mouseClick(persona)
            compare(model.isActive, false)
            compare(persona.isActive, true)
            compare(findChild(overlay(), "inspectorView"), view, "the content switches in place")
            compare(view.panel, "persona")
            mouseClick(persona)
            compare(ChatViewModel.inspectorPanel, "")
            compare(view.panel, "persona", "the panel slides out still showing what it showed")
            tryCompare(overlay(), "visible", false)

            // At the smallest window the panel still fits beside a dimmed strip
            // that closes it.
            content.width = 800
            content.height = 560
            const chatArea = findChild(content, "chatArea")
            tryVerify(() => chatArea.width >= 520)
            verify(findChild(content, "sidebar").width >= 240)
            mouseClick(findChild(content, "aboutButton"))
            tryCompare(overlay(), "progress", 1)
            const panel = findChild(overlay(), "panelFrame")
            const strip = findChild(overlay(), "dimStrip")
            verify(panel.width >= 400, "panel " + panel.width)
            compare(strip.width + panel.width, chatArea.width)
            mouseClick(strip)
            compare(ChatViewModel.inspectorPanel, "")
        }

        function test_sidebarFollowsServerAndBackend() {
            const dot = findChild(content, "serverDot")
            compare(dot.visible, false)
            ChatViewModel.toggleServer()
            tryCompare(dot, "visible", true)
            ChatViewModel.toggleServer()
            tryCompare(dot, "visible", false)
            compare(text(content, "modelName"), "Grok")
            ChatViewModel.switchBackend("Local Qwen")
            compare(text(content, "modelName"), "Grok", "not before the model has loaded")
            tryCompare(ChatViewModel, "activeBackend", "Local Qwen")
            compare(text(content, "modelName"), "Local")
        }

        function test_messagesShowExactlyAsWritten() {
            TestHarness.addMessage("user", "Where is <b>my</b> file?")
            TestHarness.addMessage("assistant", "In **Documents**.")
            const user = row(transcript, 0)
            const agent = row(transcript, 1)
            compare(text(user, "roleLabel"), "YOU")
            compare(text(agent, "roleLabel"), "AI")
            compare(findChild(user, "accentStripe").visible, false)
            compare(findChild(agent, "accentStripe").visible, true)
            const shown = findChild(user, "messageText")
            compare(shown.text, "Where is <b>my</b> file?")
            compare(shown.textFormat, TextEdit.PlainText, "never interpreted")
            compare(shown.selectByMouse, true)
            compare(text(agent, "messageText"), "In **Documents**.")
            compare(agent.Accessible.name.indexOf("In **Documents**.") >= 0, true, "read out with its text")
        }

        Component {
            id: spacedTextComponent
            TextEdit {
                id: spacedText
                property alias spacing: spacer.spacing
                width: 300
                font.pixelSize: 14
                text: "one\ntwo\nthree"
                textFormat: TextEdit.PlainText
                TextLineSpacing {
                    id: spacer
                    target: spacedText
                }
            }
        }

        function test_lineSpacingSurvivesNewText() {
            const plain = createTemporaryObject(spacedTextComponent, scene, { spacing: 0 })
            const spaced = createTemporaryObject(spacedTextComponent, scene, { spacing: 5 })
            const extra = () => spaced.implicitHeight - plain.implicitHeight
            tryVerify(() => extra() === 15, 1000, "5 under each of 3 lines: " + extra())
            spaced.text = plain.text = "a\nb\nc\nd"
            tryVerify(() => extra() === 20, 1000, "and of 4 new lines: " + extra())
            spaced.spacing = 0
            tryVerify(() => extra() === 0, 1000, "none: " + extra())
        }

        function test_aReplyBeingGeneratedAndStopped() {
            const boot = findChild(content, "bootScreenLoader")
            compare(boot.active, true, "an empty conversation shows the boot screen")
            TestHarness.holdReplies()
            ChatViewModel.inputText = "think about it"
            const button = findChild(content, "sendButton")
            mouseClick(button)
            compare(boot.active, false)
            compare(ChatViewModel.isGenerating, true)
            compare(findChild(row(transcript, 0), "waveformLoader").active, false, "not for the user's message")
            const working = row(transcript, 1)
            compare(findChild(working, "waveformLoader").active, true)
            compare(findChild(working, "messageText").visible, false)
            compare(button.symbol, "stop.fill")
            verify(sameColor(button.fillColor, Theme.danger))
            mouseClick(button)
            compare(ChatViewModel.isGenerating, false)
            tryVerify(() => text(row(transcript, 1), "messageText").startsWith("Error: "), 2000, "it says why it ended")
            compare(findChild(row(transcript, 1), "waveformLoader").active, false)
            compare(button.enabled, false, "nothing to send")
            ChatViewModel.inputText = " \n"
            compare(button.enabled, false, "blank text is nothing to send")
        }

        function test_toolRecords() {
            const output = Array.from({ length: 80 }, (_, i) => "line " + i + " of the output").join("\n")
            TestHarness.addToolCall("write_file", { path: "/tmp/a.txt", content: "x\n".repeat(5000) })
            TestHarness.addToolResult("write_file", false, output)
            const call = row(transcript, 0)
            const summary = findChild(call, "toolSummary")
            compare(findChild(call, "toolSymbol").name, "square.and.pencil")
            compare(summary.lineCount, 1, "the arguments stay on one line")
            verify(summary.truncated)
            verify(findChild(call, "toolCallBox").width <= transcript.width)

            const result = row(transcript, 1)
            compare(findChild(result, "resultBadgeSymbol").name, "xmark")
            compare(text(result, "resultLength"), output.length + "ch")
            const area = findChild(result, "outputArea")
            compare(area.height, 0)
            verify(!findChild(result, "outputText"), "the output is not built while collapsed")
            mouseClick(findChild(result, "resultHeader"))
            tryCompare(area, "height", 200)
            compare(text(result, "outputText"), output, "the whole output, not cut")
            const scroll = findChild(result, "outputScroll")
            verify(scroll.contentHeight > scroll.height, "long output scrolls")
        }

        function test_banners() {
            const bannerText = name => findChild(content, name).visible ? text(findChild(content, name), "bannerText") : ""
            TestHarness.setCloudReachable(false)
            tryCompare(ChatViewModel, "serviceAvailable", false)
            compare(bannerText("unavailableBanner"), "Cannot reach API — check settings")
            TestHarness.setCloudReachable(true)
            tryCompare(ChatViewModel, "serviceAvailable", true)

            TestHarness.delayLocalProbe(500)
            ChatViewModel.switchBackend("Local Qwen")
            compare(bannerText("loadingBanner"), "LOADING MODEL")
            tryCompare(ChatViewModel, "activeBackend", "Local Qwen")
            compare(bannerText("loadingBanner"), "")
            TestHarness.setLocalModelInstalled(false)
            ChatViewModel.testConnection()
            tryCompare(ChatViewModel, "serviceAvailable", false)
            compare(bannerText("unavailableBanner"), "Local model not available")

            ChatViewModel.switchBackend("Cloud API")
            ChatViewModel.switchBackend("Local Qwen")
            tryVerify(() => ChatViewModel.modelLoadError.length > 0)
            compare(bannerText("loadErrorBanner"), ChatViewModel.modelLoadError)
            ChatViewModel.switchBackend("Cloud API")
            compare(bannerText("loadErrorBanner"), "", "choosing the cloud again clears the error")
        }

        function test_theEndStaysInView() {
            TestHarness.addExchange(60)
            tryVerify(() => transcript.atYEnd, 2000, "opens at the end")
            transcript.positionViewAtBeginning()
            TestHarness.answerWith(Array.from({ length: 40 }, (_, i) => "paragraph " + i).join("\n"))
            ChatViewModel.inputText = "and now a long answer"
            ChatViewModel.sendMessage()
            tryCompare(ChatViewModel, "isGenerating", false)
            tryVerify(() => transcript.atYEnd, 2000, "the grown reply stays in view")
        }

        function test_inputGrowsToItsLimitThenScrolls() {
            const field = findChild(content, "chatInputField")
            const scroll = findChild(content, "inputScroll")
            compare(field.height, 42)
            ChatViewModel.inputText = "line\n"
            verify(field.height > 42, "two lines make the field grow")
            ChatViewModel.inputText = "line\n".repeat(12)
            compare(field.height, 120)
            verify(scroll.contentHeight > scroll.height, "the text is taller than the field")
            findChild(content, "inputArea").cursorPosition = ChatViewModel.inputText.length
            tryVerify(() => scroll.contentY + scroll.height >= scroll.contentHeight - 1, 1000,
                      "the insertion point is kept in view")
        }
    }
}
