import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The LOGS tab with a daily log and three topic files.
InspectorSidebarView {
    id: inspector
    width: 440
    height: 680
    panel: InspectorSidebarPanel.Value.persona

    Component.onCompleted: {
        const persona = ChatViewModel.persona
        const write = (name, text) => persona.writeTextAtomically(persona.memoryDirectory + "/" + name, text)
        write("2026-03-14-personal.md", "# Personal\n\n- Has a cat named Miso\n- Birthday in June")
        write("2026-03-14-work.md", "# Work\n\nShips the release on Fridays. The review meeting moved to "
              + "Tuesdays at ten, and the team now writes notes in the shared folder.")
        write("2026-03-14-financial.md", "# Money\n\n## Budget\n\n")
        persona.appendToDailyLog("Likes green tea in the morning")
        persona.appendToDailyLog("Asked about tide tables for Lisbon")
        inspector.content.children[0].selectTab("logs")
    }
}
