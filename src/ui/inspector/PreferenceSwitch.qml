import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Theme

// One preference of the SETTINGS panel: its title, a line that explains it,
// and a switch; a check box to screen readers. The whole row toggles (click,
// Space, a screen reader's toggle). `on` is the stored value: a toggle asks for
// the other one through `changeRequested` and then shows `on` again, so the
// switch always shows what is in use, also when it could not be stored.
// `note` says why it cannot change.
CheckBox {
    id: row

    property bool on: false
    property string explanation
    property string note

    signal changeRequested(bool wanted)

    checked: on
    onClicked: {
        row.changeRequested(checked)
        checked = Qt.binding(() => row.on)
    }

    horizontalPadding: 14
    verticalPadding: 12
    rightPadding: horizontalPadding + track.width + 14
    focusPolicy: Qt.TabFocus
    Accessible.name: text
    Accessible.description: note.length > 0 ? explanation + " " + note : explanation

    background: Rectangle {
        radius: 10
        color: Theme.surface
        border.width: 1
        border.color: Theme.border
    }

    // Reached by id for the padding: built at once, not deferred.
    indicator: Rectangle { // qmllint disable deferred-property-id
        id: track
        objectName: "track"
        x: row.width - width - row.horizontalPadding
        y: row.topPadding
        implicitWidth: 34
        implicitHeight: 20
        radius: 10
        color: row.checked ? Theme.accent : Theme.surfaceAlt
        border.width: row.checked ? 0 : 1
        border.color: Theme.borderStrong
        opacity: row.enabled ? 1 : 0.5

        Rectangle {
            width: 16
            height: 16
            radius: 8
            y: 2
            x: row.checked ? parent.width - width - 2 : 2
            color: Theme.surface
            border.width: 1
            border.color: Theme.border
            Behavior on x {
                NumberAnimation { duration: 120; easing.type: Easing.OutCubic }
            }
        }
    }

    contentItem: ColumnLayout {
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

    HoverHandler {
        cursorShape: row.enabled ? Qt.PointingHandCursor : Qt.ArrowCursor
    }

    FocusRing {
        radius: 12
        shown: row.visualFocus
    }
}
