import QtQuick
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The input field, bound to the controller's text, and its action button.
Rectangle {
    id: bar

    property alias field: input
    // The transcript's column: the bar lines up with the messages above it.
    readonly property real columnWidth: Math.min(width, Theme.readingWidth)
    readonly property real columnX: Math.round((width - columnWidth) / 2)

    implicitHeight: Math.max(input.implicitHeight, action.implicitHeight) + 24
    color: Theme.surface

    AttachButton {
        id: attach
        objectName: "attachButton"
        x: bar.columnX + 12
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 15
        onPathsChosen: text => input.insertAtCursor(text)
    }

    ChatInputField {
        id: input
        objectName: "chatInputField"
        x: attach.x + attach.width + 6
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 12
        width: bar.columnX + bar.columnWidth - 16 - action.width - 10 - x
        height: implicitHeight
        text: ChatViewModel.inputText
        placeholder: Texts.inputPlaceholder
        // Typing goes to the field as soon as the window shows.
        textArea.focus: true
        onTextEdited: text => ChatViewModel.inputText = text
        onSubmitted: ChatViewModel.sendMessage()
    }

    SendButton {
        id: action
        objectName: "sendButton"
        x: bar.columnX + bar.columnWidth - 16 - width
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 12
        isGenerating: ChatViewModel.isGenerating
        inputText: ChatViewModel.inputText
        onClicked: isGenerating ? ChatViewModel.stopGeneration() : ChatViewModel.sendMessage()
        onFocusDropped: input.textArea.forceActiveFocus(Qt.OtherFocusReason)
    }

    // Edit and resend puts a question back here: the user goes on typing in it.
    Connections {
        target: ChatViewModel.messageActions
        function onEditStarted() {
            input.textArea.forceActiveFocus(Qt.OtherFocusReason)
            input.textArea.cursorPosition = input.textArea.length
        }
    }
}
