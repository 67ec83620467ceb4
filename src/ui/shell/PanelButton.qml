pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Inspector
import Emberglass.Theme

// Opens its inspector panel, or closes it when it is the open one; shows the
// panel's symbol and title. Extra content (a status dot, the model's name)
// goes between label and chevron.
AbstractButton {
    id: button

    property int panel: InspectorSidebarPanel.Value.mobile
    readonly property var header: InspectorTexts.panelHeader(panel)
    readonly property string label: header.title
    readonly property string symbol: header.symbol
    // What a screen reader says besides the label: the panel, its state and
    // its shortcut (Ctrl+<shortcutNumber>).
    property string status
    property int shortcutNumber: 1
    readonly property string detail: Texts.panelDetail(header.subtitle, shortcutNumber, status)
    default property alias extra: extraRow.data
    readonly property bool isActive: ChatViewModel.inspectorPanel === panel

    implicitHeight: 36 + 28
    text: label
    // Reached with Tab; a click leaves the keyboard focus where it was.
    focusPolicy: Qt.TabFocus
    Accessible.onPressAction: if (enabled) clicked()
    onClicked: ChatViewModel.togglePanel(panel)

    Accessible.name: label
    Accessible.description: detail
    // A real checkable button, so that screen readers hear whether it is on
    // (Qt sets the accessible checked state, and the check box role, from the
    // button's own); a click that toggles it hands it back to what it shows,
    // and a screen reader's toggle action clicks it.
    Accessible.onToggleAction: if (enabled) clicked()
    checkable: true
    checked: isActive
    onToggled: checked = Qt.binding(() => button.isActive)

    FocusRing {
        anchors.margins: 2
        shown: button.visualFocus
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    background: Rectangle {
        color: button.isActive ? Theme.tint(Theme.accent, 0.08)
                               : "transparent"
    }

    // `extra` adds to a row inside: built at once, not deferred.
    contentItem: RowLayout { // qmllint disable deferred-property-id
        spacing: 12

        Rectangle {
            Layout.leftMargin: 14
            implicitWidth: 36
            implicitHeight: 36
            radius: 8
            color: button.isActive ? Theme.tint(Theme.accent, 0.18)
                                   : Theme.surfaceAlt
            Icon {
                anchors.centerIn: parent
                name: button.symbol
                size: 14
                color: button.isActive ? Theme.accent : Theme.textSecondary
            }
        }

        Text {
            text: button.label
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textFootnote
            font.bold: true
            font.letterSpacing: 0.5
            color: button.isActive ? Theme.textPrimary : Theme.textSecondary
        }

        Row {
            id: extraRow
            Layout.alignment: Qt.AlignVCenter
        }

        Item {
            Layout.fillWidth: true
        }

        Icon {
            objectName: "chevron"
            Layout.rightMargin: 14
            name: button.isActive ? "chevron.left" : "chevron.right"
            size: 11
            color: button.isActive ? Theme.accent : Theme.textTertiary
        }
    }
}
