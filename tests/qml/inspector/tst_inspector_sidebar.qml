import QtQuick
import QtQuick.Controls
import QtTest
import Emberglass.Backend
import Emberglass.Inspector
import Emberglass.TestHarness

// The inspector's frame: each panel's identity, closing, and which panels scroll.
TestCase {
    id: testCase
    name: "InspectorSidebar"
    when: windowShown
    visible: true
    width: 320
    height: 640

    Component {
        id: inspectorComponent
        InspectorSidebarView {
            panel: ChatViewModel.inspectorPanel
        }
    }

    function open(panel) {
        TestHarness.reset()
        ChatViewModel.inspectorPanel = InspectorSidebarPanel.Value[panel]
        return createTemporaryObject(inspectorComponent, testCase,
                                     { width: testCase.width, height: testCase.height })
    }

    function scrollingAncestor(item, stop) {
        for (let p = item.parent; p && p !== stop; p = p.parent) {
            if (p instanceof Flickable)
                return p
        }
        return null
    }

    function test_identity_data() {
        return [
            { tag: "mobile", symbol: "iphone", title: "MOBILE", subtitle: "Phone on same WiFi" },
            { tag: "model", symbol: "brain", title: "MODEL", subtitle: "Cloud API or local Qwen" },
            { tag: "persona", symbol: "cpu", title: "PERSONA", subtitle: "Soul & memory" },
            { tag: "about", symbol: "info.circle", title: "ABOUT", subtitle: "Version & product info" }
        ]
    }

    function test_identity(data) {
        const inspector = open(data.tag)
        const header = findChild(inspector, "inspectorHeader")
        compare(header.symbol, data.symbol)
        compare(header.title, data.title)
        compare(header.subtitle, data.subtitle)
        verify(inspector.content, "the panel has content")
    }

    function test_onlyThePersonaPanelDoesNotScroll_data() {
        return [
            { tag: "mobile", probe: "serverButton", scrolls: true },
            { tag: "model", probe: "cloudSection", scrolls: true },
            { tag: "about", probe: "", scrolls: true },
            { tag: "persona", probe: "soulTab", scrolls: false }
        ]
    }

    function test_onlyThePersonaPanelDoesNotScroll(data) {
        const inspector = open(data.tag)
        const content = inspector.content
        const probe = data.probe ? findChild(content, data.probe) : content.contentItem.children[0]
        verify(probe, "the panel's content is there")
        compare(scrollingAncestor(probe, inspector) !== null, data.scrolls)
        if (data.tag === "persona") {
            // It fills the height it is given instead.
            const persona = findChild(content, "personaSettings")
            verify(persona.height > inspector.height - 120, "the persona panel fills the inspector")
        }
    }

    function test_closeButtonClosesThePanel() {
        const inspector = open("mobile")
        const close = findChild(inspector, "inspectorHeader").closeButton
        compare(close.width, 26)
        compare(close.height, 26)
        compare(close.ToolTip.text, "Close panel")
        mouseClick(close)
        compare(ChatViewModel.inspectorPanel, undefined)
    }

    function test_escapeClosesThePanel() {
        const inspector = open("persona")
        inspector.forceActiveFocus()
        keyClick(Qt.Key_Escape)
        compare(ChatViewModel.inspectorPanel, undefined)
    }
}
