import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// One memory file open in the LOGS tab.
InspectorSidebarView {
    id: inspector
    width: 440
    height: 680
    panel: InspectorSidebarPanel.Value.persona

    Component.onCompleted: {
        const persona = ChatViewModel.persona
        persona.writeTextAtomically(persona.memoryDirectory + "/2026-03-14-work.md",
                                    "# Work\n\n- Ships the release on Fridays\n- Review meeting on Tuesdays at ten\n")
        persona.loadMemoryFiles()
        const panel = inspector.content.children[0]
        panel.selectTab("logs")
        panel.openFile(persona.memoryFiles[0])
    }
}
