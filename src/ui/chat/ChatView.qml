import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Theme

// The centre column: the transcript of the selected conversation (or the boot
// screen when it has nothing to show), the status banners and the input bar.
Rectangle {
    id: chat

    readonly property bool showsTranscript: ChatViewModel.messages.count > 0
    readonly property alias transcript: transcript
    readonly property alias inputBar: inputBar

    // Gives the input field the keyboard focus (Ctrl+L, or after a panel that
    // held it closes).
    function focusInput(reason) {
        inputBar.field.textArea.forceActiveFocus(reason)
    }

    // Puts files' paths (dropped, or chosen with the paper clip) into the
    // message at the insertion point.
    function insertPaths(text) {
        inputBar.field.insertAtCursor(text)
    }

    // Gives the transcript the keyboard focus, on the message last read there
    // (the latest one at first).
    function focusTranscript(reason) {
        transcript.enter(reason)
    }

    color: Theme.surface

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            TranscriptView {
                id: transcript
                objectName: "transcript"
                anchors.fill: parent
                visible: chat.showsTranscript
            }

            Loader {
                objectName: "bootScreenLoader"
                anchors.fill: parent
                active: !chat.showsTranscript
                sourceComponent: BootScreen {}
            }
        }

        StatusBanners {
            Layout.fillWidth: true
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.border
        }

        InputBar {
            id: inputBar
            Layout.fillWidth: true
        }
    }
}
