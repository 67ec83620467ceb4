import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The LOGS tab before anything has been recorded.
InspectorSidebarView {
    id: inspector
    width: 440
    height: 680
    panel: InspectorSidebarPanel.Value.persona

    Component.onCompleted: inspector.content.children[0].selectTab("logs")
}
