import QtQuick
import QtQuick.Controls
import Emberglass.Common
import Emberglass.Theme

// "+ NEW": starts an empty conversation.
AbstractButton {
    id: button

    implicitWidth: implicitContentWidth + 20
    implicitHeight: implicitContentHeight + 8
    focusPolicy: Qt.TabFocus
    Accessible.onPressAction: if (enabled) clicked()
    hoverEnabled: true
    text: Texts.newButton

    Accessible.name: Texts.newButtonTip
    Accessible.description: Texts.newButtonAccessibleDescription

    FocusRing {
        radius: 7
        shown: button.visualFocus
    }

    ToolTip.visible: hovered
    ToolTip.delay: 600
    ToolTip.text: Texts.newButtonTip

    background: Rectangle {
        radius: 5
        color: Theme.accent
        opacity: button.pressed ? 0.8 : 1
    }

    contentItem: Text {
        text: button.text
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.family: Theme.monoFamily
        font.pixelSize: Theme.textCaption
        font.bold: true
        font.letterSpacing: 0.5
        color: Theme.onFill
    }
}
