import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Inspector
import Emberglass.TestHarness
import Emberglass.ViewTestSupport

// The SETTINGS panel on the controller: its switches show the stored values,
// toggle from the mouse and the keyboard (a screen reader's toggle: tests/a11y), write the settings
// file, and say why when a value cannot be stored or the sandbox cannot run;
// the switch that keeps conversations asks before it deletes them.
Item {
    id: scene
    width: 600
    height: 700

    Component {
        id: panelComponent
        SettingsPanelView { width: 420 }
    }

    Component {
        id: bannersComponent
        StatusBanners { width: 420 }
    }

    TestCase {
        id: settingsCase
        name: "SettingsPanel"
        when: windowShown

        readonly property Preferences preferences: ChatViewModel.preferences
        property var panel

        function init() {
            failOnWarning(/.?/) // a QML warning (binding loop, null read) is a fault
            TestHarness.reset()
            tryCompare(ChatViewModel.keptConversations, "state", KeptConversationsState.Value.off)
            panel = createTemporaryObject(panelComponent, scene)
        }

        function stored() {
            return ViewTestSupport.readFile(TestHarness.settingsFile())
        }

        // The switches: asking on by default, the replies' switches off; each
        // turned by keyboard and mouse, and saved.
        function test_switchesToggleAndAreSaved_data() {
            return [
                { tag: "asking", name: "askBeforeActingSwitch",
                  property: "askBeforeActing", on: true, saved: ["emberglass_tool_approval=act", "emberglass_tool_approval=ask"] },
                { tag: "formatted", name: "formatRepliesSwitch",
                  property: "formatReplies", on: false, saved: ["emberglass_format_replies=true", "emberglass_format_replies=false"] },
                { tag: "as written", name: "streamRepliesSwitch",
                  property: "streamReplies", on: false, saved: ["emberglass_stream_replies=true", "emberglass_stream_replies=false"] }
            ]
        }
        function test_switchesToggleAndAreSaved(data) {
            const toggle = findChild(panel, data.name)
            compare([toggle.on, toggle.checked], [data.on, data.on], "the default")
            toggle.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Space)
            compare([preferences[data.property], toggle.checked], [!data.on, !data.on])
            verify(stored().includes(data.saved[0]), stored())
            mouseClick(toggle)
            compare([preferences[data.property], toggle.checked], [data.on, data.on])
            verify(stored().includes(data.saved[1]), stored())
        }

        // Where bubblewrap runs, the switch turns the sandbox on and off;
        // elsewhere it stays off, disabled, and says why.
        function test_theSandboxSwitch() {
            const sandbox = findChild(panel, "sandboxSwitch")
            compare(sandbox.on, false, "off by default")
            tryCompare(preferences, "sandboxChecked", true)
            compare(sandbox.enabled, preferences.sandboxUnavailableReason.length === 0)
            mouseClick(sandbox)
            if (preferences.sandboxUnavailableReason.length > 0) {
                compare(sandbox.on, false)
                compare(findChild(sandbox, "note").text, "Not available: " + preferences.sandboxUnavailableReason)
                verify(!stored().includes("emberglass_command_sandbox=true"))
                skip("bubblewrap cannot run here: " + preferences.sandboxUnavailableReason)
            }
            compare([sandbox.on, sandbox.checked, findChild(sandbox, "note").visible], [true, true, false])
            verify(stored().includes("emberglass_command_sandbox=true"), stored())
            mouseClick(sandbox)
            compare(preferences.sandboxCommands, false)
            verify(stored().includes("emberglass_command_sandbox=false"), stored())
        }

        // On a full disk the switch shows the value still in use, and the panel says why.
        function test_aValueThatCannotBeStoredSaysWhy() {
            const ask = findChild(panel, "askBeforeActingSwitch")
            ViewTestSupport.setDiskFull(true)
            mouseClick(ask)
            ViewTestSupport.setDiskFull(false)
            compare([ask.on, ask.checked], [true, true], "still asking, and shown so")
            compare(findChild(panel, "settingsSaveError").text,
                    "Could not save settings: " + ChatViewModel.settingsSaveError)
            mouseClick(ask)
            compare(ask.on, false)
            compare(findChild(panel, "settingsSaveError").visible, false)
        }

        function test_offByDefaultOnThenAskedBeforeDeleting_data() {
            return [
                { tag: "delete", button: "deleteStoredButton", fileKept: false },
                { tag: "keep the file", button: "keepTheFileButton", fileKept: true },
            ]
        }
        function test_offByDefaultOnThenAskedBeforeDeleting(data) {
            const keep = findChild(panel, "keepConversationsSwitch")
            compare(keep.on, false, "off by default")
            keep.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Space)
            tryCompare(ChatViewModel.keptConversations, "state", KeptConversationsState.Value.keeping)
            compare(keep.on, true)
            ChatViewModel.newConversation(false)
            TestHarness.addMessage("user", "keep me")
            tryCompare(ChatViewModel.keptConversations, "storedCount", 1)

            keyClick(Qt.Key_Space)
            const question = findChild(panel, "deleteStoredQuestion")
            verify(question.visible)
            compare(question.Accessible.name, "Delete the 1 stored conversations?")
            compare(keep.on, true, "nothing changes before the answer")
            const answer = findChild(panel, data.button)
            verify(data.fileKept ? answer.activeFocus : !answer.activeFocus, "Keep the file is the default")
            mouseClick(answer)
            verify(!question.visible)
            tryCompare(ChatViewModel.keptConversations, "state", KeptConversationsState.Value.off)
            compare(keep.on, false)
        }

        // A file that stops taking writes (a full disk) is told under the transcript too.
        function test_aFailedWriteShowsInTheWindow() {
            const banners = createTemporaryObject(bannersComponent, scene)
            ChatViewModel.preferences.keepConversations = true
            tryCompare(ChatViewModel.keptConversations, "state", KeptConversationsState.Value.keeping)
            ChatViewModel.newConversation(false)
            ViewTestSupport.setDiskFull(true)
            TestHarness.addMessage("user", "keep me")
            tryCompare(ChatViewModel.keptConversations, "state", KeptConversationsState.Value.failed)
            ViewTestSupport.setDiskFull(false)
            const banner = findChild(banners, "keptConversationsBanner")
            compare([banner.visible, findChild(banner, "bannerText").text],
                    [true, findChild(findChild(panel, "keepConversationsSwitch"), "note").text])
        }
    }
}
