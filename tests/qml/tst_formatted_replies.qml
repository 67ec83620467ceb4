import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.TestHarness
import Emberglass.ViewTestSupport

// Replies drawn from their Markdown once the user asks for it: the agent's
// only, never the user's; raw HTML stays text; code blocks copy their code;
// Ctrl+C copies a selection's Markdown; an unusual link asks before opening.
Item {
    id: scene
    width: 700
    height: 900

    Component {
        id: transcriptComponent
        TranscriptView {}
    }

    Component {
        id: rowComponent
        TranscriptRow {}
    }

    Component {
        id: bodyComponent
        FormattedBody {
            width: 500
        }
    }

    SignalSpy {
        id: shownSpy
        signalName: "currentChanged" // shownContent's
    }

    TestCase {
        name: "FormattedReplies"
        when: windowShown

        property var transcript

        function init() {
            failOnWarning(/.?/) // a QML warning (binding loop, null read) is a fault
            TestHarness.reset()
            transcript = createTemporaryObject(transcriptComponent, scene,
                                               { width: scene.width, height: scene.height })
        }

        function cleanup() {
            ChatViewModel.preferences.formatReplies = false
        }

        function row(index) {
            tryVerify(() => transcript.count > index)
            transcript.positionViewAtIndex(index, ListView.Contain)
            return transcript.itemAtIndex(index)
        }

        // Every item of `parent` named `name`, depth first.
        function allNamed(parent, name) {
            let found = parent.objectName === name ? [parent] : []
            for (let i = 0; i < parent.children.length; ++i) {
                found = found.concat(allNamed(parent.children[i], name))
            }
            return found
        }

        function test_byRoleAndSetting_data() {
            return [
                { tag: "off: as written", format: false, role: "assistant", formatted: false },
                { tag: "on: the agent's reply", format: true, role: "assistant", formatted: true },
                { tag: "on: the user's message stays plain", format: true, role: "user", formatted: false },
            ]
        }

        function test_byRoleAndSetting(data) {
            ChatViewModel.preferences.formatReplies = data.format
            const html = "<img src=\"https://example.org/x.png\"> and <b>bold?</b>" // shown as text
            const source = "## Steps\n\n1. **Open** it\n\n```sh\nls <dir>\n```\n\n" + html + "\n\n[memory: tidy desk]"
            TestHarness.addMessage(data.role, source)
            const message = row(0)
            compare(findChild(message, "formattedLoader").active, data.formatted)
            compare(findChild(message, "messageText").visible, !data.formatted)
            if (!data.formatted) {
                compare(findChild(message, "messageText").text, source)
                return
            }
            const body = findChild(message, "formattedLoader").item
            const texts = allNamed(body, "blockText").filter(t => t.visible)
                .map(t => t.getText(0, t.length))
            compare(texts, ["Steps", "Open it", html, "[memory: tidy desk]"])
            compare(allNamed(body, "codeText").filter(t => t.visible).map(t => t.text), ["ls <dir>"])
        }

        // In one reply: a code block's Copy code button copies its code (the
        // second block's, not the first's); Ctrl+C over a block's selection, its
        // Markdown; a file link asks before it opens.
        function test_copyingAndLinks() {
            ChatViewModel.preferences.formatReplies = true
            const blocks = ["Use **care** and `rm -i`.", "### Notes", "See [the docs](https://example.org/d).",
                            "[keys](file:///home/me/.ssh/id_rsa)"]
            TestHarness.addMessage("assistant", blocks.join("\n\n") + "\n\n```py\nprint(1)\n```\n\n```\necho two\n```")
            const body = findChild(row(0), "formattedLoader").item
            const buttons = allNamed(body, "copyCodeButton").filter(b => b.visible)
            compare(buttons.length, 2)
            compare(buttons[1].Accessible.name, "Copy code")
            mouseClick(buttons[1])
            compare(ViewTestSupport.clipboardText(), "echo two")
            const texts = allNamed(body, "blockText").filter(t => t.visible)
            for (let i = 0; i < 3; ++i) {
                texts[i].selectAll()
                tryCompare(texts[i], "activeFocus", true)
                keySequence(StandardKey.Copy)
                compare(ViewTestSupport.clipboardText(), blocks[i])
            }
            texts[3].linkActivated("file:///home/me/.ssh/id_rsa")
            const confirmation = findChild(body, "linkConfirmation").item
            tryCompare(confirmation, "opened", true)
            compare(confirmation.link, "file:///home/me/.ssh/id_rsa")
            keyClick(Qt.Key_Escape)
            tryCompare(confirmation, "visible", false)
        }

        // A text that grows between two frames is shown once, the last of it;
        // any other change (another message in a reused row) at once.
        function test_aStreamedRowGrowsOnceAFrame() {
            const message = createTemporaryObject(rowComponent, scene, { content: "Hi" })
            compare(message.shownContent, "Hi")
            shownSpy.target = message
            shownSpy.clear()
            message.content = "Hi there"
            message.content = "Hi there, you"
            compare(message.shownContent, "Hi")
            tryCompare(message, "shownContent", "Hi there, you")
            compare(shownSpy.count, 1)
            message.content = "Bye"
            compare(message.shownContent, "Bye")
        }

        // A block that grows (code and tables are added to, not set again) or
        // changes shows, at every step, what the same Markdown set at once does.
        function test_aChangedBlockShowsWhatItWouldSetAtOnce_data() {
            const table = "| a | b |\n|---|---|\n| `1` | **2** |"
            return [
                { tag: "code grows", steps: ["```\na", "```\na\nb", "```\na\nb\nc\n```\n"] },
                { tag: "code shrinks, then changes", steps: ["```\nabc\n```", "```\nab\n```", "```\nxb\n```"] },
                { tag: "table grows", steps: [table, table + "\n| 3", table + "\n| 3 | 4 |\n| 5 | 6 |"] },
                { tag: "table changes a kept row", steps: [table + "\n| 3 | 4 |", "| a | b |\n|---|---|\n| 0 | 2 |\n| 3 | 4 |\n| 5 |"] },
            ]
        }

        function test_aChangedBlockShowsWhatItWouldSetAtOnce(data) {
            const shown = body => allNamed(body, "codeText").map(t => t.text)
                .concat(allNamed(body, "blockText").map(t => t.getText(0, t.length)))
            const body = createTemporaryObject(bodyComponent, scene)
            for (const step of data.steps) {
                body.markdown = step
                const whole = createTemporaryObject(bodyComponent, scene, { markdown: step })
                compare(shown(body), shown(whole))
                tryCompare(body, "height", whole.height)
            }
        }

        // A table's lines lie in the gaps between its cells and follow the
        // table as rows stream in.
        function test_aTablesLinesLieBetweenItsCells() {
            const body = createTemporaryObject(bodyComponent, scene,
                                               { markdown: "| a | b |\n|---|---|\n| 1 | 2 |" })
            const rules = allNamed(body, "tableRules").find(r => r.document !== null)
            const text = allNamed(body, "blockText")[0]
            const edges = () => rules.lines.filter(l => l.width > l.height).map(l => l.y)
            tryVerify(() => edges().length === 3 && rules.lines.length === 6)
            body.markdown += "\n| 3 | 4 |"
            tryVerify(() => edges().length === 4 && rules.lines.length === 7)
            // Between two lines lies exactly one row of cells: the text of a
            // row is inside its lines.
            const rows = ["a", "1", "3"].map(word => {
                const at = text.getText(0, text.length).indexOf(word)
                return text.positionToRectangle(at)
            })
            rows.forEach((cell, i) => verify(edges()[i] < cell.y && cell.y + cell.height < edges()[i + 1],
                                             `row ${i} between its lines`))
        }

        // A long reply keeps in the scene the text of the blocks near the view
        // only (a hidden text would keep its nodes, which the renderer walks on
        // every frame); each block keeps its place, and every Copy code button
        // stays for Tab. Rows the list keeps spare for reuse hold no content.
        function test_aLongReplyDrawsOnlyWhatIsInView() {
            ChatViewModel.preferences.formatReplies = true
            let source = ""
            for (let i = 0; i < 40; ++i) {
                source += "Paragraph " + i + " of the reply.\n\n```\ncode " + i + "\n```\n\n"
            }
            TestHarness.addMessage("assistant", source)
            const body = findChild(row(0), "formattedLoader").item
            transcript.followsEnd = false // the view stays where the test puts it
            const height = body.height
            const drawn = () => allNamed(body, "blockText").map(t => t.getText(0, t.length))
                .concat(allNamed(body, "codeText").map(t => t.text))
            transcript.positionViewAtBeginning()
            tryVerify(() => drawn().includes("Paragraph 0 of the reply.") && drawn().includes("code 0")
                            && !drawn().includes("Paragraph 39 of the reply.")
                            && !drawn().includes("code 39"))
            compare(allNamed(body, "copyCodeButton").filter(b => b.visible).length, 40)
            transcript.positionViewAtEnd()
            tryVerify(() => drawn().includes("Paragraph 39 of the reply.") && drawn().includes("code 39")
                            && !drawn().includes("Paragraph 0 of the reply.")
                            && !drawn().includes("code 0"))
            compare(body.height, height)

            for (let i = 0; i < 30; ++i) {
                TestHarness.addMessage("user", "Question " + i)
            }
            transcript.positionViewAtEnd()
            const spare = () => Array.from(transcript.contentItem.children)
                .filter(r => r.objectName === "message" && r.isPooled)
            tryVerify(() => spare().length > 0, 10000, "the first rows are kept for reuse")
            verify(spare().every(r => allNamed(r, "formattedLoader").length === 0
                                      && allNamed(r, "bubble").length === 0))
        }
    }
}
