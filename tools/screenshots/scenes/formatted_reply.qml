import QtQuick
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// A reply drawn from its Markdown: a heading, a list, a table and a code block.
ContentView {
    width: 940
    height: 760
    property bool ready: false

    Component.onCompleted: {
        ChatViewModel.preferences.formatReplies = true
        TestHarness.nameConversation("Disk usage")
        TestHarness.addMessage("user", "Which folders take the most space?")
        TestHarness.addMessage("assistant",
            "## Largest folders\n\nMeasured with **du**, in `~`:\n\n"
            + "| Folder | Size |\n|---|---|\n| Videos | 41 GB |\n| .cache | 6.2 GB |\n| Projects | 3.9 GB |\n\n"
            + "1. Empty the *cache* first: it refills on its own.\n2. Move old videos to the backup disk.\n\n"
            + "```bash\ndu -sh ~/.cache/* | sort -h | tail -5\n```\n\n"
            + "> Files in <b>Trash</b> still count. See [the guide](https://example.org/disk).\n\n"
            + "[memory: keeps videos on the backup disk]")
        ready = true
    }
}
