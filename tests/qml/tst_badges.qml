import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Inspector
import Emberglass.Onboarding

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

        function test_memoryFileBadge_data() {
            return [
                { tag: "personal", file: "2026-03-14-personal", symbol: "person.fill" },
                { tag: "work", file: "2026-03-14-work", symbol: "briefcase.fill" },
                { tag: "financial", file: "2026-03-14-financial", symbol: "dollarsign" },
                { tag: "daily log", file: "2026-03-14", symbol: "clock.fill" },
                { tag: "any other name", file: "notes-workshop", symbol: "clock.fill" }
            ]
        }
        function test_memoryFileBadge(data) {
            const badge = createTemporaryObject(memoryBadge, scene, { fileName: data.file })
            compare(badge.symbol, data.symbol)
        }

        function test_questionnaireLineSide_data() {
            return [
                { tag: "answer", role: SoulQuestionnaire.Speaker.user, fromUser: true },
                { tag: "question", role: SoulQuestionnaire.Speaker.agent, fromUser: false }
            ]
        }
        function test_questionnaireLineSide(data) {
            const row = createTemporaryObject(chatRow, scene, { role: data.role, text: "Nova" })
            compare(row.fromUser, data.fromUser)
        }

        function test_toolSymbol_data() {
            return [
                { tag: "command", tool: "run_command", symbol: "terminal" },
                { tag: "reader", tool: "read_file", symbol: "doc.text" },
                { tag: "no symbol of its own", tool: "create_xlsx", symbol: "wrench" },
                { tag: "a name no tool has", tool: "make_coffee", symbol: "wrench" }
            ]
        }
        function test_toolSymbol(data) {
            const badge = createTemporaryObject(toolBadge, scene, { tool: data.tool })
            compare(badge.symbol, data.symbol)
        }
    }
}
