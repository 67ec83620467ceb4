import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// A reply being generated: the waveform in its bubble, the stop button.
ContentView {
    width: 940
    height: 680
    readonly property bool ready: ChatViewModel.isGenerating
    property int settleTime: 1100

    Component.onCompleted: {
        TestHarness.holdReplies()
        ChatViewModel.inputText = "Which files in ~/Downloads are older than a year?"
        ChatViewModel.sendMessage()
    }
}
