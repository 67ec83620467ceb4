import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Theme

// One preference of the SETTINGS panel: its title, a line that explains it,
// and a switch. The whole row toggles (click, Space, a screen reader's toggle);
// `on` is bound to the stored value and `toggled` asks for the other one, so
// the switch always shows what is in use. `note` says why it cannot change.
AbstractButton {
    id: row

    property bool on: false
    property string explanation
    property string note

    signal toggled(bool wanted)

    implicitHeight: Math.max(column.implicitHeight, track.implicitHeight) + 2 * verticalPadding
    horizontalPadding: 14
    verticalPadding: 12
    focusPolicy: Qt.TabFocus
    onClicked: if (enabled) toggled(!on)

    Accessible.role: Accessible.CheckBox
    Accessible.name: text
    Accessible.description: note.length > 0 ? explanation + " " + note : explanation
    Accessible.checkable: true
    Accessible.checked: on
    Accessible.onPressAction: clicked()
    Accessible.onToggleAction: clicked()

    background: Rectangle {
        radius: 10
        color: Theme.surface
        border.width: 1
        border.color: Theme.border
    }

    // Sized by the column inside, reached by id: built at once, not deferred.
    contentItem: RowLayout { // qmllint disable deferred-property-id
        spacing: 14

        ColumnLayout {
            id: column
            Layout.fillWidth: true
            spacing: 4

            Text {
                Layout.fillWidth: true
                text: row.text
                wrapMode: Text.Wrap
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textBody
                font.weight: Font.DemiBold
                color: row.enabled ? Theme.textPrimary : Theme.textTertiary
            }
            Text {
                objectName: "explanation"
                Layout.fillWidth: true
                text: row.explanation
                wrapMode: Text.Wrap
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textSmall
                color: Theme.textSecondary
            }
            Text {
                objectName: "note"
                Layout.fillWidth: true
                visible: text.length > 0
                text: row.note
                wrapMode: Text.Wrap
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textSmall
                color: Theme.danger
            }
        }

        Rectangle {
            id: track
            objectName: "track"
            Layout.alignment: Qt.AlignTop
            implicitWidth: 34
            implicitHeight: 20
            radius: 10
            color: row.on ? Theme.accent : Theme.surfaceAlt
            border.width: row.on ? 0 : 1
            border.color: Theme.borderStrong
            opacity: row.enabled ? 1 : 0.5

            Rectangle {
                width: 16
                height: 16
                radius: 8
                y: 2
                x: row.on ? parent.width - width - 2 : 2
                color: Theme.surface
                border.width: 1
                border.color: Theme.border
                Behavior on x {
                    NumberAnimation { duration: 120; easing.type: Easing.OutCubic }
                }
            }
        }
    }

    HoverHandler {
        cursorShape: row.enabled ? Qt.PointingHandCursor : Qt.ArrowCursor
    }

    FocusRing {
        radius: 12
        shown: row.visualFocus
    }
}
