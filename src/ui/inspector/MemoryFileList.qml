pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The LOGS tab without an open file: toolbar, then the files or an empty state.
ColumnLayout {
    id: list

    property PersonaManager persona

    signal opened(var file)

    spacing: 10

    RowLayout {
        spacing: 8

        FilledButton {
            objectName: "refreshButton"
            text: InspectorTexts.refresh
            symbol: "arrow.clockwise"
            horizontalPadding: 10
            verticalPadding: 6
            fill: Theme.surface
            labelColor: Theme.textSecondary
            borderColor: Theme.border
            onClicked: list.persona.loadMemoryFiles()
        }
        FilledButton {
            objectName: "openFolderButton"
            text: InspectorTexts.openFolder
            symbol: "folder"
            horizontalPadding: 10
            verticalPadding: 6
            fill: Theme.surface
            labelColor: Theme.textSecondary
            borderColor: Theme.border
            onClicked: Qt.openUrlExternally(PersonaDisplay.folderUrl(list.persona.memoryDirectory))
        }
    }

    ColumnLayout {
        objectName: "emptyMemoryLogs"
        visible: files.count === 0
        Layout.fillWidth: true
        Layout.fillHeight: true
        spacing: 8

        Item {
            Layout.fillHeight: true
        }
        Icon {
            Layout.alignment: Qt.AlignHCenter
            name: "tray"
            size: 28
            color: Theme.textTertiary
        }
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.focusable: false
            Layout.alignment: Qt.AlignHCenter
            text: InspectorTexts.noMemoryLogs
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textCallout
            color: Theme.textSecondary
        }
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.focusable: false
            Layout.alignment: Qt.AlignHCenter
            horizontalAlignment: Text.AlignHCenter
            text: InspectorTexts.noMemoryLogsHint
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textFootnote
            color: Theme.textTertiary
        }
        Item {
            Layout.fillHeight: true
        }
    }

    ListView {
        id: files
        objectName: "memoryFileList"
        visible: count > 0
        Layout.fillWidth: true
        Layout.fillHeight: true
        clip: true
        spacing: 6
        model: list.persona.memoryFiles
        boundsBehavior: Flickable.StopAtBounds
        Accessible.role: Accessible.List
        Accessible.name: InspectorTexts.memoryFilesName
        ScrollBar.vertical: ScrollBar {
            Accessible.name: Texts.scrollBarName(InspectorTexts.memoryFilesName)
        }

        delegate: MemoryFileRow {
            required property memoryFile modelData
            width: ListView.view.width
            file: modelData
            onClicked: list.opened(modelData)
        }
    }
}
