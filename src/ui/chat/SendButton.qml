import QtQuick
import QtQuick.Controls
import Emberglass.Common
import Emberglass.Theme

// Sends the typed text, or stops the reply being generated.
AbstractButton {
    id: button

    property bool isGenerating: false
    property string inputText
    // The look follows the raw text; whether it can send follows the trimmed text.
    readonly property color fillColor: isGenerating ? Theme.danger
        : inputText.length > 0 ? Theme.accent
        : Theme.tint(Theme.textTertiary, 0.4)

    // It had the keyboard focus and lost it by being disabled (it sent).
    signal focusDropped()

    implicitWidth: 36
    implicitHeight: 36
    enabled: isGenerating || inputText.trim().length > 0
    // Reached with Tab; a click leaves the focus in the input field.
    focusPolicy: Qt.TabFocus
    Accessible.onPressAction: if (enabled) clicked()
    onActiveFocusChanged: {
        if (!activeFocus && !enabled) {
            focusDropped()
        }
    }

    Accessible.name: isGenerating ? Texts.stopAccessibleName : Texts.sendAccessibleName
    Accessible.description: isGenerating ? Texts.stopAccessibleDescription
                                         : Texts.sendAccessibleDescription

    FocusRing {
        radius: 12
        shown: button.visualFocus
    }

    background: Rectangle {
        radius: 10
        color: button.fillColor
    }

    contentItem: Item {
        // The stop symbol is a filled square; the line icon set has no filled one.
        Rectangle {
            objectName: "stopSymbol"
            anchors.centerIn: parent
            visible: button.isGenerating
            width: 11
            height: 11
            radius: 2
            color: Theme.onFill
        }
        Icon {
            objectName: "sendSymbol"
            anchors.centerIn: parent
            visible: !button.isGenerating
            name: "arrow.up"
            size: 14
            color: Theme.onFill
        }
    }
}
