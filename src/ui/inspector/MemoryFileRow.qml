import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Theme

// One memory file in the LOGS list: badge, name, preview line and date.
AbstractButton {
    id: row

    property memoryFile file

    horizontalPadding: 10
    verticalPadding: 9
    text: file.name
    focusPolicy: Qt.TabFocus
    Accessible.onPressAction: if (enabled) clicked()
    Accessible.description: PersonaDisplay.preview(file.content)
                            + (file.hasDate ? ", " + PersonaDisplay.dateText(file.date) : "")

    contentItem: RowLayout {
        spacing: 10

        MemoryFileBadge {
            objectName: "memoryFileBadge"
            Layout.alignment: Qt.AlignTop
            fileName: row.file.name
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 3

            Text {
                Layout.fillWidth: true
                text: row.text
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textBody
                font.bold: true
                color: Theme.textPrimary
            }
            Text {
                objectName: "memoryFilePreview"
                Layout.fillWidth: true
                text: PersonaDisplay.preview(row.file.content)
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textFootnote
                color: Theme.textSecondary
            }
            Text {
                objectName: "memoryFileDate"
                visible: row.file.hasDate
                text: row.file.hasDate ? PersonaDisplay.dateText(row.file.date) : ""
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textTiny
                color: Theme.textTertiary
            }
        }

        Icon {
            name: "chevron.right"
            size: 10
            color: Theme.textTertiary
        }
    }

    background: Rectangle {
        radius: 10
        color: row.hovered ? Theme.surfaceAlt : Theme.surface
        border.width: 1
        border.color: Theme.border
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    FocusRing {
        radius: 12
        shown: row.visualFocus
    }
}
