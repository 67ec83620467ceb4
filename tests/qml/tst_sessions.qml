import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Inspector
import Emberglass.Shell
import Emberglass.TestHarness
import Emberglass.ViewTestSupport

// The sessions list beyond choosing a conversation: searching it (Ctrl+F,
// matches marked), renaming a row in place (F2, Return, Escape), taking a
// deletion back (the bar and Ctrl+Z), the row's menu, and the SETTINGS switch
// that keeps conversations, which asks before it deletes them.
Item {
    id: scene
    width: 940
    height: 680

    Component {
        id: contentComponent
        ContentView {}
    }

    Component {
        id: settingsComponent
        SettingsPanelView { width: 420 }
    }

    Component {
        id: bannersComponent
        StatusBanners { width: 420 }
    }

    TestCase {
        name: "Sessions"
        when: windowShown

        property var content
        property var list

        function init() {
            failOnWarning(/.?/)
            TestHarness.reset()
            content = createTemporaryObject(contentComponent, scene, { width: scene.width, height: scene.height })
            list = findChild(content, "conversationList")
        }

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

        function shownTitles() {
            return Array.from({ length: list.count }, (_, row) => {
                list.positionViewAtIndex(row, ListView.Contain)
                return list.itemAtIndex(row).title
            })
        }

        function test_searchFiltersAndMarks() {
            addConversations(["Lisbon trip", "Budget", "Garden"])
            keySequence(StandardKey.Find)
            const field = findChild(content, "searchField")
            verify(field.activeFocus, "Ctrl+F goes to the search")
            compare(field.Accessible.name, "Search conversations")
            type("bud")
            tryCompare(list, "count", 1)
            compare(shownTitles(), ["Budget"])
            verify(list.itemAtIndex(0).titleMarkup.includes("<b>Bud</b>"), list.itemAtIndex(0).titleMarkup)
            // Text of a message: shown under the title, marked.
            type("\b\b\babout g")
            tryCompare(list, "count", 1)
            compare(shownTitles(), ["Garden"])
            compare(findChild(list.itemAtIndex(0), "rowExcerpt").visible, true)
            keyClick(Qt.Key_Return)
            compare(ChatViewModel.currentConversationId, list.itemAtIndex(0).conversationId)
            verify(list.activeFocus, "Return goes on to the matches")
            field.forceActiveFocus()
            keyClick(Qt.Key_Escape)
            tryCompare(list, "count", 4) // and the launch conversation
            compare(ChatViewModel.search.text, "")
        }

        function test_renameFromTheKeyboard_data() {
            return [
                { tag: "Return keeps", key: Qt.Key_Return, expected: "Renamed" },
                { tag: "Escape cancels", key: Qt.Key_Escape, expected: "Budget" },
            ]
        }
        function test_renameFromTheKeyboard(data) {
            addConversations(["Budget"])
            list.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_F2)
            const item = list.itemAtIndex(0)
            const field = findChild(item, "nameField")
            tryCompare(field, "activeFocus", true)
            compare(field.selectedText, "Budget")
            keySequence("ctrl+a")
            type("Renamed")
            keyClick(data.key)
            compare(item.renaming, false)
            compare(item.title, data.expected)
            verify(list.activeFocus, "the list has the focus again")
        }

        function test_undoADeletion_data() {
            return [{ tag: "the button", useKey: false }, { tag: "Ctrl+Z", useKey: true }]
        }
        function test_undoADeletion(data) {
            addConversations(["Older<br>", "Newer"])
            const older = list.itemAtIndex(1).conversationId
            list.forceActiveFocus(Qt.TabFocusReason)
            ChatViewModel.currentConversationId = older
            keyClick(Qt.Key_Delete)
            tryCompare(list, "count", 2)
            const bar = findChild(content, "undoBar")
            verify(bar.visible)
            compare(findChild(bar, "undoText").text, "Deleted \u201cOlder<br>\u201d \u2014")
            compare(findChild(bar, "undoText").lineCount, 1) // the title's markup stays text
            if (data.useKey) {
                keySequence(StandardKey.Undo)
            } else {
                mouseClick(findChild(bar, "undoButton"))
            }
            tryCompare(list, "count", 3)
            verify(!bar.visible)
        }

        function test_rowMenu() {
            addConversations(["Budget"])
            list.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Menu)
            const menu = findChild(list.itemAtIndex(0), "rowMenu")
            tryCompare(menu, "opened", true)
            compare(Array.from({ length: menu.count }, (_, i) => menu.itemAt(i).text),
                    ["Rename", "Export as Markdown…", "Delete"])
            menu.close()
        }
    }

    TestCase {
        name: "KeepConversationsSwitch"
        when: windowShown

        property var panel

        function init() {
            failOnWarning(/.?/)
            TestHarness.reset()
            tryCompare(ChatViewModel.keptConversations, "state", KeptConversationsState.Value.off)
            panel = createTemporaryObject(settingsComponent, scene)
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
            compare(keep.Accessible.name, "Keep conversations on this computer")
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
