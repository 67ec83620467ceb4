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
            tryCompare(findChild(root, "inputArea"), "activeFocus", true, 2000, "typing goes to the input")
        }
    }

    MainWindowCase {
        name: "MainWindow"

        Component {
            id: rowComponent
            ConversationRow { conversationId: "c"; title: "Trip"; width: 240 }
        }

        function test_rowsFromTheMouse() {
            mouseClick(findChild(content, "newSessionButton"))
            mouseClick(findChild(content, "newSessionButton"))
            compare(row(list, 0).isSelected, true, "a new conversation comes first, selected")
            compare(textOf(row(list, 0), "rowTitle"), "New Chat")
            mouseClick(row(list, 2))
            compare(ChatViewModel.currentConversationId, row(list, 2).conversationId)
            compare(row(list, 0).isSelected, false)
            const target = row(list, 0)
            mouseClick(target, 10, 10, Qt.RightButton)
            tryCompare(findChild(target, "rowMenu"), "opened", true)
            compare(findChild(target, "deleteItem").text, "Delete")
            findChild(target, "deleteItem").triggered()
            compare(list.count, 2)
            compare(row(list, 1).isSelected, true, "deleting another row keeps the selection")
        }

        // A row words its date against the clock as it paints, never against a
        // clock kept since the sidebar last looked: a fresh change is "now".
        function test_rowDatesNeverLieAhead_data() {
            return [{ tag: "a clock running behind", offset: 16, expected: "now" },
                    { tag: "under a minute", offset: -50, expected: "now" },
                    { tag: "minutes", offset: -310, expected: "5 minutes ago" }]
        }

        function test_rowDatesNeverLieAhead(data) {
            const item = createTemporaryObject(rowComponent, scene, { updatedAt: new Date(Date.now() + data.offset * 1000) })
            compare(textOf(item, "rowDate"), data.expected)
            compare(item.Accessible.description, "Updated " + data.expected)
        }

        function test_panelButtonsAndOverlay() {
            const overlay = findChild(content, "inspectorOverlay")
            mouseClick(findChild(content, "modelButton"))
            tryCompare(overlay, "progress", 1)
            const view = findChild(overlay, "inspectorView")
            mouseClick(findChild(content, "personaButton"))
            compare(findChild(overlay, "inspectorView"), view, "the content switches in place")
            compare(view.panel, InspectorSidebarPanel.Value.persona)
            mouseClick(findChild(content, "personaButton"))
            compare(ChatViewModel.inspectorPanel, undefined)
            compare(view.panel, InspectorSidebarPanel.Value.persona, "the panel slides out still showing what it showed")
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
            compare(textOf(row(transcript, 0), "roleLabel"), "YOU")
            compare(textOf(row(transcript, 1), "roleLabel"), "AI")
            const shown = findChild(row(transcript, 0), "messageText")
            compare(shown.text, "Where is <b>my</b> file?")
            compare(shown.textFormat, TextEdit.PlainText, "never interpreted")
            compare(textOf(row(transcript, 1), "messageText"), "In **Documents**.")
            verify(row(transcript, 1).Accessible.name.indexOf("In **Documents**.") >= 0, "read out with its text")
            TestHarness.addMessage("assistant", "")
            compare(findChild(row(transcript, 2), "waveformLoader").active, false, "no waveform unless being written")
        }

        Component {
            id: spacedTextComponent
            TextEdit {
                id: spacedText
                property alias spacing: spacer.spacing
                width: 300
                text: "one\ntwo\nthree"
                TextLineSpacing { id: spacer; target: spacedText }
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
            compare(findChild(content, "bootScreenLoader").active, true, "an empty conversation shows the boot screen")
            TestHarness.holdReplies()
            ChatViewModel.inputText = "think about it"
            const button = findChild(content, "sendButton")
            mouseClick(button)
            compare(findChild(content, "bootScreenLoader").active, false)
            compare(findChild(row(transcript, 0), "waveformLoader").active, false, "not for the user's message")
            compare(findChild(row(transcript, 1), "waveformLoader").active, true)
            compare(textOf(row(transcript, 1), "messageText"), "")
            compare(button.symbol, "stop.fill")
            mouseClick(button)
            compare(ChatViewModel.isGenerating, false)
            tryVerify(() => textOf(row(transcript, 1), "messageText").startsWith("Error: "), 2000, "it says why it ended")
            compare(findChild(row(transcript, 1), "waveformLoader").active, false)
            ChatViewModel.inputText = " \n"
            compare(button.enabled, false, "blank text is nothing to send")
        }

        function test_toolRecords() {
            const output = Array.from({ length: 80 }, (_, i) => "line " + i).join("\n")
            TestHarness.addToolCall("write_file", { path: "/tmp/a.txt", content: "x\n".repeat(5000) })
            TestHarness.addToolResult("write_file", false, output)
            const summary = findChild(row(transcript, 0), "toolSummary")
            compare(findChild(row(transcript, 0), "toolSymbol").name, "square.and.pencil")
            compare(summary.lineCount, 1, "the arguments stay on one line")
            verify(summary.truncated)
            const result = row(transcript, 1)
            compare(findChild(result, "resultBadgeSymbol").name, "xmark")
            compare(textOf(result, "resultLength"), output.length + "ch")
            verify(!findChild(result, "outputText"), "the output is not built while collapsed")
            mouseClick(findChild(result, "resultHeader"))
            tryCompare(findChild(result, "outputArea"), "height", 200)
            compare(textOf(result, "outputText"), output, "the whole output, not cut")
            verify(findChild(result, "outputScroll").contentHeight > 200, "long output scrolls")
        }

        function test_theViewsColoursComeFromThePalette() {
            // An unresolved palette leaves every colour black.
            for (const name of ["background", "surface", "accent", "danger", "onFill"])
                verify(!Qt.colorEqual(Theme[name], "black"), name)
            compare(Theme.accent, Colors.accent)
        }

        function test_bannersAndTheModelName() {
            const banner = name => textOf(findChild(content, name), "bannerText")
            TestHarness.setCloudReachable(false)
            tryCompare(ChatViewModel.backends, "serviceAvailable", false)
            compare(banner("unavailableBanner"), "Cannot reach API — check settings")
            TestHarness.setCloudReachable(true)
            tryCompare(ChatViewModel.backends, "serviceAvailable", true)
            compare(textOf(content, "modelName"), "Grok")

            TestHarness.delayLocalProbe(500)
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
            ChatViewModel.backends.switchBackend(AIBackend.Value.cloud)
            compare(banner("loadErrorBanner"), "", "choosing the cloud again clears the error")
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
            findChild(content, "inputArea").cursorPosition = ChatViewModel.inputText.length
            tryVerify(() => scroll.contentY + scroll.height >= scroll.contentHeight - 1, 1000, "the caret stays in view")
            verify(scroll.contentY > 0)
        }
    }
}
