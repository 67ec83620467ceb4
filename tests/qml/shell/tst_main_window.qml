import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// The main window: the sidebar's list and buttons, and the inspector overlay.
// TestCase itself is invisible, so the views under test live in `scene`.
Item {
    id: scene
    width: 940
    height: 680

    TestCase {
        id: testCase
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

        function init() {
            TestHarness.reset()
            tryCompare(ChatViewModel.backends, "serviceAvailable", true)
            content = createTemporaryObject(contentComponent, scene,
                                            { width: scene.width, height: scene.height })
            list = findChild(content, "conversationList")
            tryCompare(findChild(content, "inspectorOverlay"), "visible", false)
        }

        function rowAt(index) {
            list.positionViewAtIndex(index, ListView.Contain)
            const item = list.itemAtIndex(index)
            verify(item, "row " + index)
            return item
        }

        function selectedRows() {
            let selected = []
            for (let i = 0; i < list.count; ++i) {
                if (rowAt(i).isSelected) {
                    selected.push(i)
                }
            }
            return selected
        }

        function test_newSelectAndDelete() {
            compare(list.count, 1)
            const newButton = findChild(content, "newSessionButton")
            mouseClick(newButton)
            mouseClick(newButton)
            compare(list.count, 3)
            compare(selectedRows(), [0], "a new conversation comes first, selected")
            compare(findChild(rowAt(0), "selection").visible, true)
            compare(findChild(rowAt(1), "selection").visible, false)
            compare(findChild(rowAt(0), "rowDate").text, "now")
            compare(findChild(rowAt(0), "rowTitle").text, "New Chat")

            mouseClick(rowAt(2))
            compare(ChatViewModel.currentConversationId, rowAt(2).conversationId)
            compare(selectedRows(), [2])

            // Deleting another row keeps the selection.
            const kept = ChatViewModel.currentConversationId
            rowAt(0).deleteRequested()
            compare(list.count, 2)
            compare(ChatViewModel.currentConversationId, kept)
            compare(selectedRows(), [1])

            // Deleting the selected row moves the highlight to the top.
            rowAt(1).deleteRequested()
            compare(list.count, 1)
            compare(selectedRows(), [0])

            // Deleting the last leaves one new, empty, selected conversation.
            const last = rowAt(0).conversationId
            rowAt(0).deleteRequested()
            compare(list.count, 1)
            verify(rowAt(0).conversationId !== last)
            compare(selectedRows(), [0])
            compare(ChatViewModel.messages.count, 0)
        }

        // A row words its date against the clock as it reads it, not against a
        // clock kept since the sidebar last looked: a fresh change is "now",
        // never "in 16 seconds".
        function test_rowDatesNeverLieAhead_data() {
            return [
                { tag: "just now", offset: 0, expected: "now" },
                { tag: "a clock running behind", offset: 16, expected: "now" },
                { tag: "under a minute", offset: -50, expected: "now" },
                { tag: "minutes", offset: -5 * 60 - 10, expected: "5 minutes ago" }
            ]
        }

        function test_rowDatesNeverLieAhead(data) {
            const row = createTemporaryObject(rowComponent, scene,
                { updatedAt: new Date(Date.now() + data.offset * 1000) })
            compare(findChild(row, "rowDate").text, data.expected)
            compare(row.Accessible.description, "Updated " + data.expected)
        }

        function test_contextMenuDeletes() {
            mouseClick(findChild(content, "newSessionButton"))
            compare(list.count, 2)
            const target = rowAt(1)
            const id = target.conversationId
            mouseClick(target, target.width / 2, target.height / 2, Qt.RightButton)
            const menu = findChild(target, "rowMenu")
            tryCompare(menu, "opened", true)
            const item = findChild(target, "deleteItem")
            compare(item.text, "Delete")
            item.triggered()
            compare(list.count, 1)
            verify(rowAt(0).conversationId !== id)
        }

        function test_titleFollowsTheFirstMessage() {
            ChatViewModel.inputText = "Plan the trip to the mountains next spring"
            ChatViewModel.sendMessage()
            compare(findChild(rowAt(0), "rowTitle").text, "Plan the trip to the mountains")
            tryCompare(ChatViewModel, "isGenerating", false)
        }

        function overlay() {
            return findChild(content, "inspectorOverlay")
        }

        function test_panelButtonsToggleAndSwitch() {
            const model = findChild(content, "modelButton")
            const persona = findChild(content, "personaButton")
            compare(findChild(model, "chevron").name, "chevron.right")

            mouseClick(model)
            compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value.model)
            compare(model.isActive, true)
            compare(findChild(model, "chevron").name, "chevron.left")
            tryCompare(overlay(), "progress", 1)
            const view = findChild(overlay(), "inspectorView")
            compare(view.panel, InspectorSidebarPanel.Value.model)

            mouseClick(persona)
            compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value.persona)
            compare(model.isActive, false)
            compare(persona.isActive, true)
            compare(overlay().visible, true, "switching keeps the overlay open")
            compare(findChild(overlay(), "inspectorView"), view, "the content switches in place")
            compare(view.panel, InspectorSidebarPanel.Value.persona)

            mouseClick(persona)
            compare(ChatViewModel.inspectorPanel, undefined)
            // The panel slides out still showing what it showed.
            compare(view.panel, InspectorSidebarPanel.Value.persona)
            tryCompare(overlay(), "visible", false)
        }

        function test_modelTwiceOpensAndCloses() {
            const model = findChild(content, "modelButton")
            mouseClick(model)
            tryCompare(overlay(), "progress", 1)
            mouseClick(model)
            compare(ChatViewModel.inspectorPanel, undefined)
            tryCompare(overlay(), "visible", false)
        }

        function test_dimmedStripCloses() {
            mouseClick(findChild(content, "aboutButton"))
            tryCompare(overlay(), "progress", 1)
            const strip = findChild(overlay(), "dimStrip")
            compare(strip.color.a.toFixed(2), "0.22")
            mouseClick(strip)
            compare(ChatViewModel.inspectorPanel, undefined)
            tryCompare(overlay(), "visible", false)
        }

        function test_panelAtTheMinimumWindowWidth() {
            content.width = 800
            content.height = 560
            const chatArea = findChild(content, "chatArea")
            tryVerify(() => chatArea.width >= 520)
            const sidebar = findChild(content, "sidebar")
            verify(sidebar.width >= 240, "sidebar " + sidebar.width)
            ChatViewModel.togglePanel(InspectorSidebarPanel.Value.mobile)
            tryCompare(overlay(), "progress", 1)
            const panel = findChild(overlay(), "panelFrame")
            const strip = findChild(overlay(), "dimStrip")
            verify(panel.width >= 400, "panel " + panel.width)
            compare(strip.width, 60)
            compare(strip.width + panel.width, chatArea.width)
            compare(panel.height, chatArea.height)
        }

        function test_panelExtras() {
            const dot = findChild(content, "serverDot")
            compare(dot.visible, false)
            ChatViewModel.toggleServer()
            tryCompare(dot, "visible", true)
            ChatViewModel.toggleServer()
            tryCompare(dot, "visible", false)

            compare(findChild(content, "modelName").text, ChatViewModel.backends.cloudConfig.provider)
            compare(findChild(content, "modelName").text, "Grok")
            ChatViewModel.backends.switchBackend(AIBackend.Value.local)
            compare(findChild(content, "modelName").text, "Grok", "not before the model has loaded")
            tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.local)
            compare(findChild(content, "modelName").text, "Local")
        }
    }
}
