import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The persona panel on the SOUL tab with an edit not saved yet.
InspectorSidebarView {
    id: inspector
    width: 440
    height: 680
    panel: InspectorSidebarPanel.Value.persona

    Component.onCompleted: {
        const persona = ChatViewModel.persona
        persona.soul = "# Nova\n\n- Name: Nova\n- Gender: female\n- Age: 20s\n- Specialties: research\n\n"
            + "You are Nova, an AI agent running on the user's computer.\n"
            + "You are helpful, thoughtful, and speak naturally."
        persona.writeTextAtomically(persona.soulURL, persona.soul)
        persona.soul += "\nYou love tide tables."
    }
}
