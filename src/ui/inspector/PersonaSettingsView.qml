import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Theme

// The soul, the long-term memory and the memory files, edited in place on the
// shared persona store. Its state starts afresh each time it is shown.
ColumnLayout {
    id: view

    property PersonaManager persona: ChatViewModel.persona
    property bool embeddedInInspector: true
    property string selectedTab: "soul"
    property var selectedMemoryFile: null
    property string editingContent
    readonly property Item content: loader.item as Item

    function selectTab(name) {
        selectedTab = name
        selectedMemoryFile = null
        tabFade.restart()
    }

    function openFile(file) {
        editingContent = file.content
        selectedMemoryFile = file
    }

    // The system's reason when a save wrote nothing, else empty (also for a
    // memory file no longer listed, whose save does nothing).
    function whyNotSaved(written) {
        return written ? "" : persona.lastWriteError
    }

    // The warnings about a file, one line each.
    function noticeOf(file, issues) {
        return issues.map(issue => InspectorTexts.fileIssue(file, issue)).join("\n")
    }

    // Saves the soul or the memory, asking first when that would replace what
    // the user has not seen (bytes that are not UTF-8, a newer version on disk).
    function savePersonaFile(editor, url, text, confirmed) {
        if (!confirmed && persona.saveNeedsConfirmation(url)) {
            editor.confirmation = InspectorTexts.confirmSave(editor.fileName)
            return
        }
        editor.saveError = whyNotSaved(persona.writeTextAtomically(url, text))
    }

    function fileLabel() {
        const tab = InspectorTexts.tabs.find(t => t.name === selectedTab)
        if (selectedTab === "logs" && selectedMemoryFile)
            return selectedMemoryFile.name + InspectorTexts.markdownExtension
        return tab.file
    }

    spacing: 12

    RowLayout {
        Layout.fillWidth: true
        spacing: 4

        Repeater {
            model: InspectorTexts.tabs

            PersonaTabButton {
                required property var modelData
                objectName: modelData.name + "Tab"
                text: modelData.label
                symbol: modelData.symbol
                // The file is not bound (see the editors below): the tabs reach the view by id.
                selected: view.selectedTab === modelData.name // qmllint disable unqualified
                onClicked: view.selectTab(modelData.name) // qmllint disable unqualified
            }
        }
        Item {
            Layout.fillWidth: true
        }
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.focusable: false
            objectName: "fileLabel"
            text: view.fileLabel()
            textFormat: Text.PlainText
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textCaption
            color: Theme.textTertiary
        }
    }

    Loader {
        id: loader
        Layout.fillWidth: true
        Layout.fillHeight: true
        sourceComponent: {
            if (view.selectedTab === "soul")
                return soulEditor
            if (view.selectedTab === "memory")
                return memoryEditor
            return view.selectedMemoryFile ? fileView : fileList
        }

        NumberAnimation on opacity {
            id: tabFade
            from: 0
            to: 1
            duration: 150
            easing.type: Easing.InOutQuad
        }
    }

    // Qt 6.4 cannot load a bound component through a Loader, so these components
    // are not bound and reach the view by id.
    // qmllint disable unqualified
    Component {
        id: soulEditor

        MarkdownEditor {
            fillAvailableHeight: view.embeddedInInspector
            fileName: InspectorTexts.tabs[0].file
            id: soulArea
            text: view.persona.soul
            notice: view.noticeOf(fileName, view.persona.soulIssues)
            onEdited: text => view.persona.soul = text
            onSave: confirmed => view.savePersonaFile(soulArea, view.persona.soulURL, view.persona.soul,
                                                      confirmed)

            // A change read from disk is not an edit of the user's. Decided
            // once the editor has taken the new text (which marks it unsaved).
            Timer {
                id: soulSettle
                interval: 0
                onTriggered: soulArea.hasUnsavedChanges = !view.persona.isUnedited(view.persona.soulURL)
            }
            Connections {
                target: view.persona
                function onSoulChanged() {
                    soulSettle.restart()
                }
            }
        }
    }

    Component {
        id: memoryEditor

        MarkdownEditor {
            fillAvailableHeight: view.embeddedInInspector
            fileName: InspectorTexts.tabs[1].file
            id: memoryArea
            text: view.persona.memory
            notice: view.noticeOf(fileName, view.persona.memoryIssues)
            onEdited: text => view.persona.memory = text
            onSave: confirmed => view.savePersonaFile(memoryArea, view.persona.memoryURL,
                                                      view.persona.memory, confirmed)

            Timer {
                id: memorySettle
                interval: 0
                onTriggered: memoryArea.hasUnsavedChanges = !view.persona.isUnedited(view.persona.memoryURL)
            }
            Connections {
                target: view.persona
                function onMemoryChanged() {
                    memorySettle.restart()
                }
            }
        }
    }

    Component {
        id: fileList

        MemoryFileList {
            persona: view.persona
            onOpened: file => view.openFile(file)
        }
    }

    Component {
        id: fileView

        MemoryFileView {
            file: view.selectedMemoryFile
            text: view.editingContent
            onEdited: text => view.editingContent = text
            onBack: view.selectedMemoryFile = null
            onSave: saveError = view.whyNotSaved(view.persona.saveMemoryFile(view.selectedMemoryFile.url,
                                                                              view.editingContent))
        }
    }
    // qmllint enable unqualified
}
