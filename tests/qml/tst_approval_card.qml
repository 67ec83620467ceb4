import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// The card of a call that waits for the user's approval: where it stands, what
// it shows and reads out, and each answer from the keyboard.
Item {
    id: scene
    width: 940
    height: 680

    TestCase {
        name: "ApprovalCard"
        when: windowShown

        property var content
        property var transcript
        property var input
        property var card

        Component {
            id: contentComponent
            ContentView {}
        }

        function init() {
            failOnWarning(/.?/)
            TestHarness.reset()
            tryCompare(ChatViewModel.backends, "serviceAvailable", true)
            content = createTemporaryObject(contentComponent, scene, { width: scene.width, height: scene.height })
            transcript = findChild(content, "transcript")
            input = findChild(content, "inputArea")
            input.forceActiveFocus()
        }

        function cleanup() {
            ChatViewModel.stopGeneration()
        }

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
                { tag: "Space allows", keys: [Qt.Key_Space], success: true },
                { tag: "Tab, Enter: for this conversation", keys: [Qt.Key_Tab, Qt.Key_Enter], success: true, always: true },
                { tag: "Tab, Tab, Enter denies", keys: [Qt.Key_Tab, Qt.Key_Tab, Qt.Key_Return], success: false },
                { tag: "Escape denies", keys: [Qt.Key_Escape], success: false }
            ]
        }

        function test_theAnswerFromTheKeyboard(data) {
            // Shown as written, not as markup (a tag would hide the line break).
            ask("run_command", { command: "printf '<b>approved</b>'\necho twice" })
            const target = findChild(card, "approvalTarget") // the whole command
            compare([findChild(card, "approvalTool").text, findChild(card, "toolSymbol").name, target.text, target.lineCount,
                     target.Accessible.name, findChild(card, "approvalDescription").visible, card.Accessible.role, card.Accessible.name],
                    ["run_command", "terminal", "printf '<b>approved</b>'\necho twice", 2, "Command: printf '<b>approved</b>'\necho twice", false,
                     Accessible.AlertMessage, "Approval needed: run_command"])
            compare(["approvalAllow", "approvalAllowForConversation", "approvalDeny"].map(name => findChild(card, name).Accessible.name),
                    ["Allow", "Allow for this conversation", "Deny"])
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

        function test_aFileShowsItsPathAndContent() {
            // A mark that reverses what follows it is spelt out, not obeyed; a
            // relative path also shows the folder it lands in.
            ask("write_file", { path: "nonexistent-folder/notes\u202Etxt.exe", content: "first\nsecond\n" + "x\n".repeat(20) })
            const target = findChild(card, "approvalTarget")
            compare([findChild(card, "toolSymbol").name, target.text, target.Accessible.name, findChild(card, "approvalDescription").text],
                    ["square.and.pencil", "nonexistent-folder/notes<U+202E>txt.exe", "File: nonexistent-folder/notes<U+202E>txt.exe", "new file"])
            const reached = findChild(card, "approvalReached")
            verify(reached.visible && /^Writes to: \/.+\/nonexistent-folder\/notes<U\+202E>txt\.exe$/.test(reached.text), reached.text)
            const content = findChild(card, "approvalContent")
            verify(content.text.startsWith("first\nsecond\nx\n"))
            compare(content.text.split("\n").length, 9, "the first eight lines and a mark")
            // A file with a second name says why it asks.
            verify(!findChild(card, "approvalOtherNames").visible)
            ChatViewModel.toolApproval.deny()
            tryCompare(ChatViewModel, "isGenerating", false)
            ask("write_file", { path: TestHarness.fileWithTwoNames(), content: "x" })
            const why = findChild(card, "approvalOtherNames")
            compare([why.visible, why.text],
                    [true, "This file has other names too (hard links: 1 more); writing changes it under every name."])
        }

        function test_theCardStaysWithItsConversationAndStopDeniesIt() {
            ask("run_command", { command: "true" })
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
