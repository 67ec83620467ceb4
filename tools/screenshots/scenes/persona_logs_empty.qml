import QtQuick
import Emberglass.Inspector

// The LOGS tab before anything has been recorded.
InspectorSidebarView {
    id: inspector
    width: 440
    height: 680
    panel: "persona"

    Component.onCompleted: inspector.content.children[0].selectTab("logs")
}
