import QtQuick
import QtTest
import "helpers.js" as Helpers
import Emberglass.Backend
import Emberglass.Inspector
import Emberglass.InspectorTestSupport
import Emberglass.TestHarness
import Emberglass.Theme

// The persona panel: the editors change the store at once and the files only on
// SAVE; the LOGS list, its previews and badges; opening, saving and leaving a file.
TestCase {
    id: testCase
    name: "PersonaPanel"
    when: windowShown
    visible: true
    width: 360
    height: 640

    Component {
        id: panelComponent
        PersonaSettingsView {
            embeddedInInspector: true
        }
    }

    readonly property var persona: ChatViewModel.persona
    readonly property string soulOnDisk: "# Aria\n\nCurious."
    property var panel

    function init() {
        TestHarness.reset()
        persona.soul = soulOnDisk
        verify(InspectorTestSupport.writeFile(persona.soulURL, soulOnDisk))
        persona.memory = "# Long-Term Memory"
        verify(InspectorTestSupport.writeFile(persona.memoryURL, persona.memory))
        InspectorTestSupport.clearMemoryFiles()
        panel = createTemporaryObject(panelComponent, testCase,
                                      { width: testCase.width, height: testCase.height })
    }

    function cleanup() {
        InspectorTestSupport.setDiskFull(false)
    }

    function memoryPath(name) {
        return persona.memoryDirectory + "/" + name
    }

    function typeAtEnd(area, text) {
        area.forceActiveFocus()
        area.cursorPosition = area.length
        for (const ch of text)
            keyClick(ch === "\n" ? Qt.Key_Return : ch)
    }

    function status(editor) {
        return findChild(editor, "saveStatus").text
    }

    function saveEnabled(editor) {
        return findChild(editor, "saveButton").enabled
    }

    function openTab(name) {
        mouseClick(findChild(panel, name + "Tab"))
        compare(panel.selectedTab, name)
        return panel.content
    }

    function fileLabel() {
        return findChild(panel, "fileLabel").text
    }

    function rows() {
        const list = findChild(panel.content, "memoryFileList")
        let items = []
        for (let i = 0; i < list.count; ++i) {
            list.positionViewAtIndex(i, ListView.Contain)
            items.push(list.itemAtIndex(i))
        }
        return items
    }

    function rowNamed(name) {
        return rows().find(row => row.file.name === name)
    }

    function test_typingChangesTheSoulButNotItsFileUntilSaved() {
        const editor = panel.content
        compare(fileLabel(), "soul.md")
        compare(editor.textArea.text, soulOnDisk)
        compare(status(editor), "SAVED")
        compare(saveEnabled(editor), false)

        typeAtEnd(editor.textArea, " Kind.")
        compare(persona.soul, soulOnDisk + " Kind.")
        compare(InspectorTestSupport.readFile(persona.soulURL), soulOnDisk)
        compare(status(editor), "UNSAVED")
        verify(Helpers.sameColor(findChild(editor, "saveStatusIndicator").color, Theme.warning))
        compare(saveEnabled(editor), true)

        mouseClick(findChild(editor, "saveButton"))
        compare(InspectorTestSupport.readFile(persona.soulURL), soulOnDisk + " Kind.")
        compare(status(editor), "SAVED")
        verify(Helpers.sameColor(findChild(editor, "saveStatusIndicator").color, Theme.success))
        compare(saveEnabled(editor), false, "disabled right after saving")
    }

    function test_ctrlSSavesTheMemory() {
        const editor = openTab("memory")
        compare(fileLabel(), "MEMORY.md")
        typeAtEnd(editor.textArea, "\n- likes tea")
        compare(persona.memory, "# Long-Term Memory\n- likes tea")
        compare(InspectorTestSupport.readFile(persona.memoryURL), "# Long-Term Memory")
        keyClick(Qt.Key_S, Qt.ControlModifier)
        compare(InspectorTestSupport.readFile(persona.memoryURL), "# Long-Term Memory\n- likes tea")
        compare(status(editor), "SAVED")
        compare(InspectorTestSupport.readFile(persona.soulURL), soulOnDisk, "the soul is left alone")
    }

    // An editor keeps the tabs typed in it; Ctrl+Tab is the way out.
    function test_tabIsTypedCtrlTabMovesOn() {
        const editor = panel.content
        typeAtEnd(editor.textArea, "")
        keyClick(Qt.Key_Tab)
        compare(persona.soul, soulOnDisk + "\t")
        keyClick(Qt.Key_Tab, Qt.ControlModifier)
        compare(editor.textArea.activeFocus, false)
        compare(persona.soul, soulOnDisk + "\t")
        editor.textArea.forceActiveFocus()
        keyClick(Qt.Key_Backtab, Qt.ControlModifier | Qt.ShiftModifier)
        compare(editor.textArea.activeFocus, false)
        compare(persona.soul, soulOnDisk + "\t")
    }

    function test_changesMadeElsewhereCountAsUnsaved() {
        const editor = panel.content
        persona.soul = "# Nova"
        compare(editor.textArea.text, "# Nova")
        compare(status(editor), "UNSAVED")

        // The agent rewrote the file during a tool loop: the store reloads it.
        mouseClick(findChild(editor, "saveButton"))
        typeAtEnd(editor.textArea, " unsaved")
        verify(InspectorTestSupport.writeFile(persona.soulURL, "# Written by the agent"))
        persona.reload()
        compare(editor.textArea.text, "# Written by the agent")
        compare(status(editor), "UNSAVED")
    }

    function test_saveIsDisabledAfterSwitchingTabs() {
        typeAtEnd(panel.content.textArea, "!")
        compare(saveEnabled(panel.content), true)
        const memory = openTab("memory")
        compare(saveEnabled(memory), false)
        const soul = openTab("soul")
        compare(saveEnabled(soul), false)
        compare(status(soul), "SAVED")
        compare(soul.textArea.text, soulOnDisk + "!", "the edit is still in the store")
        compare(InspectorTestSupport.readFile(persona.soulURL), soulOnDisk)
    }

    function test_emptyLogs() {
        const list = openTab("logs")
        compare(fileLabel(), "memory/")
        const empty = findChild(list, "emptyMemoryLogs")
        compare(empty.visible, true)
        const texts = Helpers.textsOf(empty)
        verify(texts.includes("No memory logs yet"))
        verify(texts.includes("The AI will create daily logs and topic files\nas it learns about you."))
        compare(findChild(list, "memoryFileList").visible, false)
    }

    function test_previewsAndBadges_data() {
        return [
            { tag: "personal", file: "2026-03-14-personal.md", content: "# Personal\n\n- Has a cat named Miso",
              symbol: "person.fill", preview: "- Has a cat named Miso" },
            { tag: "work", file: "2026-03-14-work.md", content: "Ships on Fridays\nUses Qt\nthird",
              symbol: "briefcase.fill", preview: "Ships on Fridays Uses Qt" },
            { tag: "financial", file: "2026-03-14-financial.md", content: "# Money\n## Budget\n\n",
              symbol: "dollarsign", preview: "Empty" },
            { tag: "daily", file: "2026-03-14.md", content: "# 2026-03-14 Memory Log\n\n" + "x".repeat(100),
              symbol: "clock.fill", preview: "x".repeat(80) }
        ]
    }

    function test_previewsAndBadges(data) {
        verify(InspectorTestSupport.writeFile(memoryPath(data.file), data.content))
        persona.loadMemoryFiles()
        openTab("logs")
        const row = rowNamed(data.file.replace(".md", ""))
        verify(row, "the file is listed")
        compare(findChild(row, "memoryFileBadge").symbol, data.symbol)
        compare(findChild(row, "memoryFilePreview").text, data.preview)
        const date = findChild(row, "memoryFileDate")
        compare(date.visible, true)
        verify(date.text.includes("2") && date.text.length > 8, date.text)
    }

    function test_openEditAndSaveAFile() {
        const path = memoryPath("2026-03-14-work.md")
        verify(InspectorTestSupport.writeFile(path, "Ships on Fridays"))
        persona.loadMemoryFiles()
        openTab("logs")
        mouseClick(rowNamed("2026-03-14-work"))
        compare(fileLabel(), "2026-03-14-work.md")
        const view = panel.content
        compare(view.textArea.text, "Ships on Fridays")

        // A rescan hands out new ids; the open file is still found by its path.
        persona.loadMemoryFiles()
        typeAtEnd(view.textArea, " and Mondays")
        compare(InspectorTestSupport.readFile(path), "Ships on Fridays", "nothing is written before SAVE")
        mouseClick(findChild(view, "saveFileButton"))
        compare(InspectorTestSupport.readFile(path), "Ships on Fridays and Mondays")
        compare(persona.memoryFiles.find(f => f.url === path).content, "Ships on Fridays and Mondays")

        mouseClick(findChild(view, "backButton"))
        compare(fileLabel(), "memory/")
        compare(findChild(rowNamed("2026-03-14-work"), "memoryFilePreview").text, "Ships on Fridays and Mondays")
    }

    // On a full disk an editor says why, in the system's words, and keeps the
    // text (unsaved, where the editor tracks it) until a save succeeds.
    function test_aFailedSaveSaysWhyAndKeepsTheText_data() {
        return [
            { tag: "soul", file: "", saveButton: "saveButton", tracksChanges: true },
            { tag: "memory file", file: "2026-03-14-work.md", saveButton: "saveFileButton", tracksChanges: false }
        ]
    }

    function test_aFailedSaveSaysWhyAndKeepsTheText(data) {
        const path = data.file ? memoryPath(data.file) : persona.soulURL
        verify(InspectorTestSupport.writeFile(path, "Ships"))
        persona.reload()
        if (data.file) {
            openTab("logs")
            mouseClick(rowNamed(data.file.replace(".md", "")))
        }
        const editor = panel.content
        const error = findChild(editor, "saveError")
        typeAtEnd(editor.textArea, " on Fridays")
        InspectorTestSupport.setDiskFull(true)
        mouseClick(findChild(editor, data.saveButton))
        InspectorTestSupport.setDiskFull(false)
        compare(error.text, "Could not save: File too large")
        verify(Helpers.sameColor(error.color, Theme.danger))
        compare(editor.textArea.text, "Ships on Fridays")
        compare(InspectorTestSupport.readFile(path), "Ships")
        if (data.tracksChanges)
            compare(status(editor), "UNSAVED")

        mouseClick(findChild(editor, data.saveButton))
        compare(error.visible, false)
        compare(InspectorTestSupport.readFile(path), "Ships on Fridays")
    }

    function test_savingAFileNoLongerListedDoesNothing() {
        const path = memoryPath("gone.md")
        verify(InspectorTestSupport.writeFile(path, "old"))
        persona.loadMemoryFiles()
        openTab("logs")
        mouseClick(rowNamed("gone"))
        InspectorTestSupport.clearMemoryFiles()
        typeAtEnd(panel.content.textArea, " new")
        mouseClick(findChild(panel.content, "saveFileButton"))
        compare(InspectorTestSupport.readFile(path), undefined, "the deleted file is not written again")
    }

    function test_switchingTabsClosesAFileWithoutSaving() {
        const path = memoryPath("2026-03-14.md")
        verify(InspectorTestSupport.writeFile(path, "- [9:41 AM] likes tea"))
        persona.loadMemoryFiles()
        openTab("logs")
        mouseClick(rowNamed("2026-03-14"))
        typeAtEnd(panel.content.textArea, " and coffee")
        openTab("soul")
        openTab("logs")
        compare(fileLabel(), "memory/", "the file was closed")
        compare(InspectorTestSupport.readFile(path), "- [9:41 AM] likes tea")
        mouseClick(rowNamed("2026-03-14"))
        compare(panel.content.textArea.text, "- [9:41 AM] likes tea", "the discarded edit is gone")
    }

    function test_refreshShowsFilesWrittenOutside() {
        const list = openTab("logs")
        verify(InspectorTestSupport.writeFile(memoryPath("late.md"), "arrived later"))
        compare(findChild(list, "emptyMemoryLogs").visible, true)
        mouseClick(findChild(list, "refreshButton"))
        compare(findChild(list, "emptyMemoryLogs").visible, false)
        verify(rowNamed("late"))
    }
}
