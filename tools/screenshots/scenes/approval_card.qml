import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// A command waiting for the user's approval, after a file the agent read.
ContentView {
    id: scene
    width: 940
    height: 680
    property bool ready: false

    Component.onCompleted: {
        TestHarness.nameConversation("Tidy the downloads")
        TestHarness.addMessage("user", "Can you sort ~/Downloads into folders by file type?")
        TestHarness.addMessage("assistant", "Using tools...")
        TestHarness.addToolCall("list_directory", { path: "~/Downloads" })
        TestHarness.addToolResult("list_directory", true,
            "report-q3.pdf\nholiday.jpg\nbudget.xlsx\nslides.pptx\nscan-0042.png")
        TestHarness.callToolNext("run_command", {
            command: "cd ~/Downloads && mkdir -p Documents Images && "
                     + "mv *.pdf *.xlsx *.pptx Documents/ && mv *.jpg *.png Images/"
        })
        ChatViewModel.inputText = "Yes, go ahead."
        ChatViewModel.sendMessage()
    }

    Connections {
        target: ChatViewModel.toolApproval
        function onPendingChanged() {
            scene.ready = ChatViewModel.toolApproval.isPending
        }
    }
}
