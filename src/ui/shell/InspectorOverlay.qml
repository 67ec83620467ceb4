import QtQuick
import QtQuick.Window
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Inspector
import Emberglass.Theme

// The open inspector panel over the chat's trailing side, with the rest of the
// chat dimmed: a tap there closes the panel. It springs in from the trailing
// edge and fades, and leaves the same way.
Item {
    id: overlay

    // The open panel, an InspectorSidebarPanel value; undefined when none is open.
    readonly property var panel: ChatViewModel.inspectorPanel
    readonly property bool isOpen: panel !== undefined
    // The panel drawn: the open one, or the one sliding out.
    property int shownPanel: isOpen ? panel : InspectorSidebarPanel.Value.mobile
    readonly property real panelWidth: Math.max(width - 60, 400)
    property real progress: isOpen ? 1 : 0

    // How the next panel to open was asked for: from the keyboard its first
    // control shows the focus ring, from a click it does not.
    property int openReason: Qt.OtherFocusReason
    // Where the focus was before a panel opened; it goes back there on close.
    property Item returnFocusTo: null

    // The panel closed while something in it had the focus: `item` was focused
    // before it opened (null when unknown or gone).
    signal focusReleased(Item item)

    function holds(item) {
        for (; item; item = item.parent) {
            if (item === overlay) {
                return true
            }
        }
        return false
    }

    function holdsFocus() {
        return holds(Window.activeFocusItem)
    }

    // Gives the open panel's first control the focus, once the panel is built.
    function focusPanel(reason) {
        const view = inspectorLoader.item as InspectorSidebarView
        if (view && isOpen) {
            view.focusFirstControl(reason ?? openReason)
            openReason = Qt.OtherFocusReason
        }
    }

    onPanelChanged: {
        const hadFocus = holdsFocus()
        if (panel === undefined) {
            if (hadFocus) {
                const item = returnFocusTo
                focusReleased(item && item.visible && item.enabled ? item : null)
            }
            returnFocusTo = null
            return
        }
        if (!hadFocus) {
            returnFocusTo = Window.activeFocusItem
        }
        // `isOpen` may not have followed `panel` yet in this handler.
        shownPanel = panel
        Qt.callLater(focusPanel) // qmllint disable type
    }

    Behavior on progress {
        SpringAnimation {
            spring: Motion.panelSpring
            damping: Motion.panelDamping
            epsilon: 0.001
        }
    }

    visible: progress > 0.001
    clip: true

    Row {
        id: row
        x: (1 - overlay.progress) * overlay.width
        width: overlay.width
        height: overlay.height
        opacity: Math.min(1, overlay.progress)

        Rectangle {
            id: dimStrip
            objectName: "dimStrip"
            width: Math.max(0, overlay.width - overlay.panelWidth)
            height: row.height
            color: Theme.scrim

            MouseArea {
                anchors.fill: parent
                onClicked: ChatViewModel.closeInspector()
                onWheel: wheel => wheel.accepted = true
            }
        }

        Rectangle {
            id: panelFrame
            objectName: "panelFrame"
            width: overlay.panelWidth
            height: row.height
            color: Theme.background

            // Clicks on the panel never reach the chat below it.
            MouseArea {
                anchors.fill: parent
                acceptedButtons: Qt.AllButtons
                onWheel: wheel => wheel.accepted = true
            }

            // Built only while the overlay shows, so a closed inspector costs nothing.
            Loader {
                id: inspectorLoader
                objectName: "inspectorLoader"
                anchors.fill: parent
                anchors.leftMargin: 1
                active: overlay.visible
                sourceComponent: InspectorSidebarView {
                    objectName: "inspectorView"
                    // Reached by id from a Loader's component (not bound: Qt 6.4 cannot load bound ones).
                    panel: overlay.shownPanel // qmllint disable unqualified
                }
                onLoaded: overlay.focusPanel()
            }

            Rectangle {
                width: 1
                height: parent.height
                color: Theme.border
            }
        }
    }
}
