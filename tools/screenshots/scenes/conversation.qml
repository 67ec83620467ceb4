import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// A conversation with a question, a tool call, its result opened, and the reply.
ContentView {
    id: scene
    width: 940
    height: 680
    property bool ready: false

    function find(item, name) {
        const children = item.children || []
        for (let i = 0; i < children.length; ++i) {
            const child = children[i]
            if (child.objectName === name) {
                return child
            }
            const found = find(child, name)
            if (found) {
                return found
            }
        }
        return null
    }

    Component.onCompleted: {
        TestHarness.nameConversation("Summarise my notes")
        TestHarness.addMessage("user", "Can you summarise the notes in ~/notes/meeting.md?")
        TestHarness.addMessage("assistant", "Using tools...")
        TestHarness.addToolCall("read_file", { path: "~/notes/meeting.md" })
        TestHarness.addToolResult("read_file", true,
            "# Weekly sync\n- Budget approved for Q3\n- Launch moved to 14 October\n"
            + "- Ana owns the release notes\n- Next sync: Thursday 10:00")
        TestHarness.addMessage("assistant",
            "Here is the short version:\n\n1. The Q3 budget is approved.\n"
            + "2. The launch moves to 14 October.\n3. Ana writes the release notes.\n\n"
            + "The next sync is on Thursday at 10:00.")
        Qt.callLater(expandResult)
    }

    function expandResult() {
        const header = find(scene, "resultHeader")
        if (!header) {
            Qt.callLater(expandResult)
            return
        }
        header.clicked()
        ready = true
    }
}
