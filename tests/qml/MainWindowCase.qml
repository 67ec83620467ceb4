import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// The fixture of the main window's tests: the window's content, sized as the
// scene it is put in, against a controller reset to launch state, with the
// focus in the input field.
TestCase {
    when: windowShown

    property var content
    property var input
    property var list
    property var transcript

    Component {
        id: contentComponent
        ContentView {}
    }

    function init() {
        TestHarness.reset()
        tryCompare(ChatViewModel.backends, "serviceAvailable", true)
        tryCompare(ChatViewModel.localModelSetup, "isLoadingModel", false)
        content = createTemporaryObject(contentComponent, parent, { width: parent.width, height: parent.height })
        input = findChild(content, "inputArea")
        list = findChild(content, "conversationList")
        transcript = findChild(content, "transcript")
        input.forceActiveFocus()
    }

    // Row `index` of a list view, scrolled into view.
    function row(view, index) {
        tryVerify(() => view.count > index)
        view.positionViewAtIndex(index, ListView.Contain)
        return view.itemAtIndex(index)
    }

    // The text an item shows; none while it is hidden.
    function textOf(parent, name) {
        const item = findChild(parent, name)
        return item.visible ? item.text : ""
    }

    // A field's text item is named after the field that holds it.
    function focusedName() {
        const item = content.Window.activeFocusItem
        return !item ? "" : item.objectName || (item.parent ? item.parent.objectName : "")
    }

    function openPanel(name) {
        ChatViewModel.togglePanel(InspectorSidebarPanel.Value[name])
        tryCompare(findChild(content, "inspectorOverlay"), "progress", 1)
        return findChild(content, "inspectorView")
    }
}
