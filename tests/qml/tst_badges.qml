import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Inspector
import Emberglass.Onboarding
import Emberglass.ViewTestSupport

// What the small views pick by a kind the controller hands them as an
// enumeration or a name: a memory file's badge, a questionnaire line's side and
// a tool's symbol.
Item {
    id: scene
    width: 400
    height: 200

    Component { id: memoryBadge; MemoryFileBadge {} }
    Component { id: chatRow; SoulChatRow { width: 300 } }
    Component { id: toolBadge; ToolBadge {} }

    TestCase {
        name: "Badges"
        when: windowShown

        function init() {
            failOnWarning(/.?/) // an unknown kind must not read undefined
        }

        // Rows: tests/data/ui/views.json, each the view, what it is given and what it picks.
        function test_pickedByKind_data() { return ViewTestSupport.rows("badges") }

        function test_pickedByKind(data) {
            const given = Object.assign({}, data.given)
            if (data.view === "chatRow")
                given.role = SoulQuestionnaire.Speaker[given.role]
            const view = createTemporaryObject({ memoryBadge, chatRow, toolBadge }[data.view], scene, given)
            compare(view[data.picks], data.expected)
        }
    }
}
