import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The open inspector panel: its header with the close button, and its content.
// The persona panel fills the height itself; the others scroll.
Rectangle {
    id: inspector

    property int panel: InspectorSidebarPanel.Value.mobile
    readonly property var identity: InspectorTexts.panelHeader(panel)
    readonly property Item content: contentLoader.item as Item

    function close() {
        ChatViewModel.closeInspector()
    }

    // The panel's first control after its close button: any panel gets the
    // focus where its own controls start, the close button when it has none.
    function focusFirstControl(reason) {
        const closeButton = header.closeButton
        const next = closeButton.nextItemInFocusChain(true)
        let inside = false
        for (let item = next; item; item = item.parent) {
            if (item === contentLoader) {
                inside = true
                break
            }
        }
        (inside ? next : closeButton).forceActiveFocus(reason)
    }

    color: Theme.background

    Shortcut {
        sequence: "Escape"
        enabled: inspector.visible && ChatViewModel.inspectorPanel !== undefined
        onActivated: inspector.close()
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        PanelHeader {
            id: header
            objectName: "inspectorHeader"
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 14
            Layout.topMargin: 14
            Layout.bottomMargin: 12
            symbol: inspector.identity.symbol
            title: inspector.identity.title
            subtitle: inspector.identity.subtitle
            onCloseRequested: inspector.close()
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.border
        }

        Loader {
            id: contentLoader
            Layout.fillWidth: true
            Layout.fillHeight: true
            sourceComponent: {
                switch (inspector.panel) {
                case InspectorSidebarPanel.Value.mobile: return mobilePanel
                case InspectorSidebarPanel.Value.model: return modelPanel
                case InspectorSidebarPanel.Value.persona: return personaPanel
                case InspectorSidebarPanel.Value.settings: return settingsPanel
                case InspectorSidebarPanel.Value.about: return aboutPanel
                }
                return null
            }
        }
    }

    Component {
        id: mobilePanel

        ScrollingPanel {
            scrolls: inspector.identity.title // qmllint disable unqualified
            MobilePanelView {
                Layout.fillWidth: true
            }
        }
    }

    Component {
        id: modelPanel

        // It scrolls by itself.
        ModelSettingsView {
            embedded: true
        }
    }

    Component {
        id: personaPanel

        Item {
            PersonaSettingsView {
                objectName: "personaSettings"
                // Centred, no wider than its text reads well.
                width: Math.min(parent.width - 28, Theme.readingWidth)
                x: Math.round((parent.width - width) / 2)
                y: 14
                height: parent.height - 28
                embeddedInInspector: true
            }
        }
    }

    Component {
        id: settingsPanel

        ScrollingPanel {
            SettingsPanelView {
                Layout.fillWidth: true
            }
        }
    }

    Component {
        id: aboutPanel

        ScrollingPanel {
            scrolls: inspector.identity.title // qmllint disable unqualified
            AboutView {
                Layout.fillWidth: true
            }
        }
    }
}
