import QtQuick
import QtQuick.Controls
import QtTest
import "helpers.js" as Helpers
import Emberglass.Backend
import Emberglass.Inspector
import Emberglass.TestHarness
import Emberglass.Theme

// The mobile panel follows the phone server: button, status dot and address box.
TestCase {
    id: testCase
    name: "MobilePanel"
    when: windowShown
    visible: true
    width: 320
    height: 640

    Component {
        id: panelComponent
        MobilePanelView {
            width: 288
        }
    }

    property var panel

    function init() {
        TestHarness.reset()
        tryCompare(ChatViewModel, "isServerRunning", false)
        panel = createTemporaryObject(panelComponent, testCase)
    }

    function cleanup() {
        if (ChatViewModel.isServerRunning)
            ChatViewModel.toggleServer()
        tryCompare(ChatViewModel, "isServerRunning", false)
    }

    function test_textsAreTheComputersOwn() {
        const texts = Helpers.textsOf(panel)
        verify(texts.includes("Chat from your phone on the same Wi\u2011Fi. Messages sync to this computer."))
        verify(texts.includes("HOW IT WORKS"))
        verify(texts.includes("Phone and computer on same Wi\u2011Fi"))
        verify(texts.includes("Tap Start Server above"))
        verify(texts.includes("Open the URL in your phone browser"))
        verify(texts.includes("Chat syncs to sessions here"))
        verify(texts.includes("Local network only — not on the public internet"))
        verify(!texts.some(t => t.includes("Mac")), "no text names the Mac")
    }

    function test_buttonAndAddressFollowTheServer() {
        const button = findChild(panel, "serverButton")
        const box = findChild(panel, "addressBox")
        const dot = findChild(panel, "statusDot")
        compare(button.text, "START SERVER")
        verify(Helpers.sameColor(button.labelColor, "white"))
        compare(box.visible, false)
        compare(dot.opacity, 0.3)

        mouseClick(button)
        tryCompare(ChatViewModel, "isServerRunning", true)
        compare(button.text, "STOP SERVER")
        verify(Helpers.sameColor(button.labelColor, Theme.danger))
        compare(dot.opacity, 1)
        verify(Helpers.sameColor(dot.color, Theme.success))
        tryVerify(() => ChatViewModel.serverURL.length > 0)
        compare(box.visible, true)
        const address = findChild(panel, "serverAddress")
        compare(address.text, ChatViewModel.serverURL)
        verify(address.text.startsWith("http://"))
        compare(address.selectByMouse, true)

        mouseClick(button)
        tryCompare(ChatViewModel, "isServerRunning", false)
        compare(button.text, "START SERVER")
        compare(box.visible, false)
    }
}
