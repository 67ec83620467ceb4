import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Theme

// One open memory file: BACK, its name, SAVE, and the working copy to edit. The
// owner sets `saveError` when a save fails; the working copy stays as it is.
ColumnLayout {
    id: view

    property memoryFile file
    property string text
    property string saveError
    property alias textArea: area.textArea

    signal edited(string text)
    signal back()
    signal save()

    spacing: 8

    RowLayout {
        Layout.fillWidth: true
        spacing: 8

        FilledButton {
            objectName: "backButton"
            text: InspectorTexts.back
            symbol: "chevron.left"
            horizontalPadding: 10
            verticalPadding: 6
            fill: Theme.surface
            labelColor: Theme.textSecondary
            borderColor: Theme.border
            onClicked: view.back()
        }
        Text {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            text: view.file.name + InspectorTexts.markdownExtension
            elide: Text.ElideMiddle
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textSmall
            color: Theme.textPrimary
        }
        FilledButton {
            objectName: "saveFileButton"
            text: InspectorTexts.save
            fill: Theme.accent
            horizontalPadding: 12
            verticalPadding: 6
            onClicked: view.save()
        }
    }

    ErrorLine {
        objectName: "saveError"
        text: view.saveError.length > 0 ? InspectorTexts.couldNotSave(view.saveError) : ""
    }

    EditorArea {
        id: area
        objectName: "memoryFileText"
        Layout.fillWidth: true
        Layout.fillHeight: true
        monospaced: false
        accessibleName: view.file.name + InspectorTexts.markdownExtension
        accessibleDescription: InspectorTexts.fileEditorDescription
        text: view.text
        onEdited: text => view.edited(text)
    }
}
