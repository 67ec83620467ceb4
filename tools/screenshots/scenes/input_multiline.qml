import QtQuick
import Emberglass.Backend
import Emberglass.Shell

// The input field grown by a text of several lines.
ContentView {
    width: 940
    height: 680

    Component.onCompleted: {
        ChatViewModel.inputText = "Please write a short poem about embers:\n- four lines\n- no rhymes\n"
            + "- one of them about the night"
    }
}
