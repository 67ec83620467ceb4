import QtQuick
import Emberglass.Backend
import Emberglass.Inspector

// The mobile panel once the phone server listens: STOP SERVER and the address.
InspectorSidebarView {
    width: 440
    height: 680
    panel: InspectorSidebarPanel.Value.mobile
    readonly property bool ready: ChatViewModel.serverURL.length > 0

    Component.onCompleted: ChatViewModel.toggleServer()
}
