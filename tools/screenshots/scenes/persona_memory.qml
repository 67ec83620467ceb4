import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The persona panel on the MEMORY tab, saved.
InspectorSidebarView {
    id: inspector
    width: 440
    height: 680
    panel: InspectorSidebarPanel.Value.persona

    Component.onCompleted: {
        const persona = ChatViewModel.persona
        persona.memory = "# Long-Term Memory\n\n- Lives in Lisbon, works from home\n- Prefers short answers\n"
            + "- Has a cat named Miso"
        const panel = inspector.content.children[0]
        panel.selectTab("memory")
    }
}
