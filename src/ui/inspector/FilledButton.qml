import QtQuick
import QtQuick.Controls.Basic
import Emberglass.Theme

// A label (with an optional symbol or a spinner) on a filled, rounded background.
AbstractButton {
    id: button

    property string symbol
    property real symbolSize: fontSize + 2
    property bool symbolAfterText: false
    property bool busy: false
    property int fontSize: Theme.textCaption
    property real letterSpacing: 0.5
    property color fill: Theme.textPrimary
    // The fill while disabled, or while `dimmed` (a button that still works).
    property color dimmedFill: Theme.tint(Theme.textTertiary, 0.3)
    property bool dimmed: false
    property color labelColor: Theme.onFill
    property color borderColor: "transparent"
    property real radius: 8

    // Reached with Tab; a click leaves the keyboard focus where it was.
    focusPolicy: Qt.TabFocus
    // Screen readers and voice control press it through this.
    Accessible.onPressAction: if (enabled) clicked()
    horizontalPadding: 14
    verticalPadding: 9
    font.family: Theme.monoFamily
    font.pixelSize: fontSize
    font.bold: true
    font.letterSpacing: letterSpacing

    // Sized by the row inside, reached by id: built at once, not deferred.
    contentItem: Item { // qmllint disable deferred-property-id
        implicitWidth: row.implicitWidth
        implicitHeight: row.implicitHeight

        Row {
            id: row
            anchors.centerIn: parent
            spacing: 6
            layoutDirection: button.symbolAfterText ? Qt.RightToLeft : Qt.LeftToRight

            ProgressSpinner {
                visible: button.busy
                size: button.symbolSize
                color: button.labelColor
                anchors.verticalCenter: parent.verticalCenter
            }
            Icon {
                visible: !button.busy && button.symbol.length > 0
                name: button.symbol
                size: button.symbolSize
                color: button.labelColor
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                text: button.text
                font: button.font
                color: button.labelColor
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }

    background: Rectangle {
        radius: button.radius
        color: button.enabled && !button.dimmed ? button.fill : button.dimmedFill
        border.width: button.borderColor.a > 0 ? 1 : 0
        border.color: button.borderColor
        opacity: button.pressed ? 0.8 : 1
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    FocusRing {
        radius: button.radius + 2
        shown: button.visualFocus
    }
}
