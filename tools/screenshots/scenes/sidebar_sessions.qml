import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// Several conversations, the second one selected, the phone server running.
ContentView {
    width: 940
    height: 680
    readonly property bool ready: ChatViewModel.isServerRunning

    Component.onCompleted: {
        const titles = ["Draft the quarterly slides", "Summarise my notes",
                        "Why is the build slow?", "📱 Phone Chat", "Trip to the mountains"]
        let ids = []
        for (const title of titles) {
            ChatViewModel.newConversation(false)
            TestHarness.nameConversation(title)
            TestHarness.addExchange(2)
            ids.push(ChatViewModel.currentConversationId)
        }
        ChatViewModel.currentConversationId = ids[3]
        ChatViewModel.toggleServer()
    }
}
