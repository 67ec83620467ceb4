import QtQuick
import QtQuick.Window
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Theme

Window {
    width: 940
    height: 680
    minimumWidth: 800
    minimumHeight: 560
    visible: true
    title: "Emberglass"
    color: Theme.background

    ChatView {
        anchors.fill: parent
        Icon { name: "brain"; color: Theme.accent; size: 48; anchors.centerIn: parent }
        Text {
            anchors.top: parent.top
            text: ChatViewModel.cloudConfig.provider + " / " + ChatViewModel.conversations.rowCount()
        }
    }
}
