import QtQuick
import QtQuick.Layouts
import Emberglass.Theme

// A plain-text editor for a Markdown file with a saved/unsaved status and SAVE
// (also Ctrl+S). `text` is the bound text; `edited` reports the user's typing so
// the owner can write it back. Any change of `text`, wherever it comes from,
// counts as unsaved. Every appearance starts saved. The owner's `save` handler
// sets `saveError` when the write fails: the text then stays unsaved, and the
// reason shows until a save succeeds. `notice` warns about the file as it is;
// an owner that must ask before writing sets `confirmation` from its `save`
// handler instead, and the next save (SAVE ANYWAY) comes with `confirmed`.
ColumnLayout {
    id: editor

    property string text
    property bool fillAvailableHeight: true
    property bool hasUnsavedChanges: false
    property string saveError
    property string notice
    property string confirmation
    property alias textArea: area.textArea
    // The file being edited, for screen readers.
    property alias fileName: area.accessibleName

    signal edited(string text)
    signal save(bool confirmed)

    function saveNow() {
        if (!hasUnsavedChanges && confirmation.length === 0)
            return
        const confirmed = confirmation.length > 0
        saveError = ""
        confirmation = ""
        save(confirmed)
        hasUnsavedChanges = saveError.length > 0 || confirmation.length > 0
    }

    spacing: 8
    onTextChanged: hasUnsavedChanges = true
    Component.onCompleted: hasUnsavedChanges = false

    Shortcut {
        sequence: "Ctrl+S"
        enabled: editor.visible && (editor.hasUnsavedChanges || editor.confirmation.length > 0)
        onActivated: editor.saveNow()
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 6

        Rectangle {
            objectName: "saveStatusIndicator"
            implicitWidth: 12
            implicitHeight: 12
            radius: 3
            color: editor.hasUnsavedChanges ? Theme.warning : Theme.success

            Icon {
                anchors.centerIn: parent
                name: editor.hasUnsavedChanges ? "pencil" : "checkmark"
                size: 7
                color: Theme.onFill
            }
        }
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.focusable: false
            objectName: "saveStatus"
            text: editor.hasUnsavedChanges ? InspectorTexts.unsaved : InspectorTexts.saved
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textCaption
            font.bold: true
            font.letterSpacing: 0.5
            color: editor.hasUnsavedChanges ? Theme.textSecondary : Theme.textTertiary
        }
        Item {
            Layout.fillWidth: true
        }
        FilledButton {
            objectName: "saveButton"
            text: editor.confirmation.length > 0 ? InspectorTexts.saveAnyway : InspectorTexts.save
            enabled: editor.hasUnsavedChanges || editor.confirmation.length > 0
            fill: Theme.accent
            horizontalPadding: 12
            verticalPadding: 6
            onClicked: editor.saveNow()
        }
    }

    ErrorLine {
        objectName: "fileNotice"
        text: editor.notice
        color: Theme.textSecondary
    }

    ErrorLine {
        objectName: "saveConfirmation"
        text: editor.confirmation
    }

    ErrorLine {
        objectName: "saveError"
        text: editor.saveError.length > 0 ? InspectorTexts.couldNotSave(editor.saveError) : ""
    }

    EditorArea {
        id: area
        objectName: "markdownText"
        Layout.fillWidth: true
        Layout.fillHeight: editor.fillAvailableHeight
        Layout.minimumHeight: editor.fillAvailableHeight ? 0 : 280
        monospaced: true
        accessibleDescription: InspectorTexts.editorDescription
        text: editor.text
        onEdited: text => editor.edited(text)
    }
}
