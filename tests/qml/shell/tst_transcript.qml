import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Theme
import Emberglass.TestHarness

// The transcript's rows by role, tool records, the working indicator, the
// boot screen and the status banners.
// TestCase itself is invisible, so the views under test live in `scene`.
Item {
    id: scene
    width: 760
    height: 560

    TestCase {
        id: testCase
        name: "Transcript"
        when: windowShown

        Component {
            id: chatComponent
            ChatView {
                width: scene.width
                height: scene.height
            }
        }

        property var chat
        property var transcript

        function init() {
            TestHarness.reset()
            tryCompare(ChatViewModel.backends, "serviceAvailable", true)
            tryCompare(ChatViewModel.localModelSetup, "isLoadingModel", false)
            chat = createTemporaryObject(chatComponent, scene)
            transcript = findChild(chat, "transcript")
        }

        function row(index) {
            transcript.positionViewAtIndex(index, ListView.Contain)
            const item = transcript.itemAtIndex(index)
            verify(item, "row " + index + " is built")
            return item
        }

        // Equal as drawn: text items keep 8 bits a channel.
        function sameColor(actual, expected) {
            const bytes = c => [c.r, c.g, c.b, c.a].map(v => Math.round(v * 255)).join()
            return bytes(actual) === bytes(expected)
        }

        function test_userAndAgentRowsLookDifferent() {
            TestHarness.addMessage("user", "Where is <b>my</b> file?")
            TestHarness.addMessage("assistant", "In **Documents**.")
            const user = row(0)
            const agent = row(1)

            compare(findChild(user, "roleLabel").text, "YOU")
            compare(findChild(agent, "roleLabel").text, "AI")
            verify(sameColor(findChild(user, "roleLabel").color, Theme.textSecondary))
            verify(sameColor(findChild(agent, "roleLabel").color, Theme.accent))
            compare(findChild(user, "userAvatar").visible, true)
            compare(findChild(user, "agentAvatar").active, false)
            compare(findChild(agent, "userAvatar").visible, false)
            compare(findChild(agent, "agentAvatar").active, true)
            compare(findChild(user, "accentStripe").visible, false)
            compare(findChild(agent, "accentStripe").visible, true)

            // Shown exactly as written, selectable, never interpreted.
            const text = findChild(user, "messageText")
            compare(text.text, "Where is <b>my</b> file?")
            compare(text.textFormat, TextEdit.PlainText)
            compare(text.readOnly, true)
            compare(text.selectByMouse, true)
            compare(findChild(agent, "messageText").text, "In **Documents**.")

            // The agent's bubble is always light; the user's only under the pointer.
            const agentBubble = findChild(agent, "bubble")
            const userBubble = findChild(user, "bubble")
            verify(sameColor(agentBubble.color, Theme.background))
            compare(userBubble.color.a, 0)
            mouseMove(userBubble, userBubble.width / 2, userBubble.height / 2)
            tryVerify(() => userBubble.color.a > 0.4 && userBubble.color.a < 0.6)
            mouseMove(chat, 1, chat.height - 1)
            tryVerify(() => userBubble.color.a === 0)
        }

        Component {
            id: spacedTextComponent
            TextEdit {
                id: spacedText
                property alias spacing: spacer.spacing
                width: 300
                font.pixelSize: 14
                textFormat: TextEdit.PlainText
                TextLineSpacing {
                    id: spacer
                    target: spacedText
                }
            }
        }

        function test_lineSpacingSurvivesNewText() {
            const plain = createTemporaryObject(spacedTextComponent, scene,
                                                { text: "one\ntwo\nthree", spacing: 0 })
            const spaced = createTemporaryObject(spacedTextComponent, scene,
                                                 { text: "one\ntwo\nthree", spacing: 5 })
            const extra = () => spaced.implicitHeight - plain.implicitHeight
            tryVerify(() => extra() === 15, 1000, "5 under each of 3 lines: " + extra())
            spaced.text = "a\nb\nc\nd"
            plain.text = "a\nb\nc\nd"
            tryVerify(() => extra() === 20, 1000, "and of 4 new lines: " + extra())
            spaced.spacing = 0
            tryVerify(() => extra() === 0, 1000, "none: " + extra())
        }

        function test_waveformOnlyForAnEmptyReplyBeingGenerated() {
            TestHarness.addMessage("assistant", "")
            compare(findChild(row(0), "waveformLoader").active, false,
                    "an empty reply that is not being generated shows no waveform")

            TestHarness.holdReplies()
            ChatViewModel.inputText = "think about it"
            ChatViewModel.sendMessage()
            compare(ChatViewModel.isGenerating, true)
            compare(ChatViewModel.messages.count, 3)
            compare(findChild(row(0), "waveformLoader").active, false)
            compare(findChild(row(1), "waveformLoader").active, false, "not for the user's message")
            const working = row(2)
            compare(findChild(working, "waveformLoader").active, true)
            compare(findChild(working, "messageText").visible, false)

            ChatViewModel.stopGeneration()
            tryVerify(() => findChild(row(2), "messageText").text.startsWith("Error: "))
            compare(findChild(row(2), "waveformLoader").active, false)
            compare(findChild(row(2), "messageText").visible, true)
        }

        function test_failedResultShowsCrossAndExpandsToAScrollArea() {
            let lines = []
            for (let i = 0; i < 80; ++i) {
                lines.push("line " + i + " of the command's output")
            }
            const output = lines.join("\n")
            TestHarness.addToolCall("run_command", { command: "make all" })
            TestHarness.addToolResult("run_command", false, output)
            const result = row(1)

            const badge = findChild(result, "resultBadge")
            verify(sameColor(badge.color, Theme.danger))
            compare(findChild(result, "resultBadgeSymbol").name, "xmark")
            compare(findChild(result, "resultLength").text, output.length + "ch")

            const area = findChild(result, "outputArea")
            compare(area.height, 0)
            verify(!findChild(result, "outputText"), "the output is not built while collapsed")

            mouseClick(findChild(result, "resultHeader"))
            tryCompare(area, "height", 200)
            const text = findChild(result, "outputText")
            compare(text.text, output, "the whole output, not cut")
            const scroll = findChild(result, "outputScroll")
            verify(scroll.contentHeight > scroll.height, "long output scrolls")

            mouseClick(findChild(result, "resultHeader"))
            tryCompare(area, "height", 0)
        }

        function test_successfulShortResultFitsItsBox() {
            TestHarness.addToolResult("read_file", true, "📱 ok")
            const result = row(0)
            verify(sameColor(findChild(result, "resultBadge").color, Theme.success))
            compare(findChild(result, "resultBadgeSymbol").name, "checkmark")
            compare(findChild(result, "resultLength").text, "4ch", "characters as the user sees them")
            mouseClick(findChild(result, "resultHeader"))
            const area = findChild(result, "outputArea")
            tryVerify(() => area.height > 0 && area.height < 60)
        }

        function test_toolSymbols_data() {
            return [
                { tag: "read_file", symbol: "doc.text" },
                { tag: "write_file", symbol: "square.and.pencil" },
                { tag: "list_directory", symbol: "folder" },
                { tag: "search_files", symbol: "magnifyingglass" },
                { tag: "run_command", symbol: "terminal" },
                { tag: "read_pdf", symbol: "wrench" },
                { tag: "no_such_tool", symbol: "wrench" }
            ]
        }

        function test_toolSymbols(data) {
            TestHarness.addToolCall(data.tag, { path: "~/notes.txt" })
            const call = row(0)
            compare(findChild(call, "toolSymbol").name, data.symbol)
            compare(findChild(call, "toolSummary").text, "path: ~/notes.txt")
        }

        function test_longArgumentsStayOnOneLine() {
            TestHarness.addToolCall("write_file", { path: "/tmp/a.txt", content: "x\n".repeat(5000) })
            const call = row(0)
            const summary = findChild(call, "toolSummary")
            verify(summary.text.indexOf("\n") < 0)
            compare(summary.lineCount, 1)
            verify(summary.truncated, "shortened in the middle")
            verify(findChild(call, "toolCallBox").width <= transcript.width)
        }

        function test_bootScreenWhenThereIsNothingToShow() {
            const boot = findChild(chat, "bootScreenLoader")
            compare(boot.active, true)
            compare(boot.item.pulsing, true)
            // The last line's marker pulses between 1.0 and 0.3.
            const marker = findChild(findChild(boot.item, "awaitingLine"), "marker")
            tryVerify(() => marker.opacity < 0.32, 2000, "the marker fades")
            tryVerify(() => marker.opacity > 0.98, 2000, "and comes back")

            TestHarness.addMessage("user", "first")
            compare(transcript.visible, true)
            compare(boot.active, false, "the first message replaces the boot screen")

            ChatViewModel.currentConversationId = ""
            compare(boot.active, true, "no selection shows the boot screen")

            ChatViewModel.newConversation(false)
            TestHarness.addMessage("user", "second")
            compare(boot.active, false)
            // Deleting every conversation leaves a new empty one: the boot screen.
            while (ChatViewModel.conversations.count > 1) {
                ChatViewModel.deleteConversation(ChatViewModel.currentConversationId)
            }
            ChatViewModel.deleteConversation(ChatViewModel.currentConversationId)
            compare(ChatViewModel.conversations.count, 1)
            compare(boot.active, true)
            compare(boot.item.pulsing, true)
        }

        function banner(name) {
            return findChild(chat, name)
        }

        function test_cloudUnreachableBanner() {
            compare(banner("unavailableBanner").visible, false)
            TestHarness.setCloudReachable(false)
            tryCompare(ChatViewModel.backends, "serviceAvailable", false)
            compare(banner("unavailableBanner").visible, true)
            compare(findChild(banner("unavailableBanner"), "bannerText").text,
                    "Cannot reach API — check settings")
        }

        function test_localUnavailableBanner() {
            ChatViewModel.backends.switchBackend(AIBackend.Value.local)
            tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.local)
            TestHarness.setLocalModelInstalled(false)
            ChatViewModel.backends.testConnection()
            tryCompare(ChatViewModel.backends, "serviceAvailable", false)
            compare(findChild(banner("unavailableBanner"), "bannerText").text,
                    "Local model not available")
        }

        function test_loadingBannerWhileTheLocalModelIsProbed() {
            TestHarness.delayLocalProbe(700)
            ChatViewModel.backends.switchBackend(AIBackend.Value.local)
            compare(ChatViewModel.localModelSetup.isLoadingModel, true)
            compare(banner("loadingBanner").visible, true)
            compare(findChild(banner("loadingBanner"), "bannerText").text, "LOADING MODEL")
            tryCompare(banner("loadingBanner"), "visible", false)
            compare(ChatViewModel.backends.activeBackend, AIBackend.Value.local)
        }

        function test_loadErrorBannerShowsTheError() {
            TestHarness.setLocalModelInstalled(false)
            ChatViewModel.backends.switchBackend(AIBackend.Value.local)
            tryVerify(() => ChatViewModel.localModelSetup.modelLoadError.length > 0)
            compare(banner("loadErrorBanner").visible, true)
            compare(findChild(banner("loadErrorBanner"), "bannerText").text, ChatViewModel.localModelSetup.modelLoadError)
            compare(ChatViewModel.backends.activeBackend, AIBackend.Value.cloud)
        }

        function test_newMessagesAndGrowthKeepTheEndInView() {
            TestHarness.addExchange(60)
            tryVerify(() => transcript.atYEnd, 2000, "opens at the end")
            transcript.positionViewAtBeginning()
            verify(!transcript.atYEnd)

            TestHarness.addMessage("user", "one more")
            tryVerify(() => transcript.atYEnd, 2000, "a new message scrolls to the end")

            transcript.positionViewAtBeginning()
            let reply = []
            for (let i = 0; i < 40; ++i) {
                reply.push("paragraph " + i)
            }
            TestHarness.answerWith(reply.join("\n"))
            ChatViewModel.inputText = "and now a long answer"
            ChatViewModel.sendMessage()
            tryCompare(ChatViewModel, "isGenerating", false)
            tryVerify(() => transcript.atYEnd, 2000, "the grown reply stays in view")
            const last = transcript.itemAtIndex(transcript.count - 1)
            verify(last && last.y + last.height <= transcript.contentY + transcript.height + 1)
        }
    }
}
