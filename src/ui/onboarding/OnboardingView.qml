pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Window
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The first-run pages: welcome, model setup, soul setup. `completed` is emitted
// once the soul has been stored; there is no way back to an earlier page.
Rectangle {
    id: onboarding

    // Scales every duration (tests run them quicker).
    property real timeScale: 1
    property int step: 0 // 0 welcome, 1 model setup, 2 soul setup
    property bool fadeIn: false
    readonly property Item page: pages.currentItem
    // True while pages change; taps on the pages wait until it ends.
    readonly property bool transitioning: pages.busy

    signal completed()

    function advance() {
        if (step >= 2)
            return
        step += 1
        pages.replace(step === 1 ? modelSetupPage : soulSetupPage)
    }

    // The page in place gives its first control the focus, with the ring, so
    // that Return or Space goes on from the keyboard at once.
    function focusPage() {
        const page = pages.currentItem
        const first = page ? page.nextItemInFocusChain(true) : null
        for (let item = first; item; item = item.parent) {
            if (item === page) {
                first.forceActiveFocus(Qt.TabFocusReason)
                return
            }
        }
    }

    color: Theme.background
    Keys.onPressed: event => event.accepted = Keyboard.pressFocusedButton(event, Window.activeFocusItem)
    Component.onCompleted: {
        fadeIn = true
        Qt.callLater(focusPage) // qmllint disable type
    }
    // Built while still hidden behind the splash, it takes the focus on showing.
    onVisibleChanged: {
        if (visible) {
            Qt.callLater(focusPage) // qmllint disable type
        }
    }

    StackView {
        id: pages
        anchors.fill: parent
        opacity: onboarding.fadeIn ? 1 : 0
        initialItem: welcomePage
        onBusyChanged: {
            if (!busy) {
                onboarding.focusPage()
            }
        }

        Behavior on opacity {
            NumberAnimation { duration: 500 * onboarding.timeScale; easing.type: Easing.OutQuad }
        }

        replaceEnter: Transition {
            NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 350 * onboarding.timeScale; easing.type: Easing.InOutQuad }
        }
        replaceExit: Transition {
            NumberAnimation { property: "opacity"; from: 1; to: 0; duration: 350 * onboarding.timeScale; easing.type: Easing.InOutQuad }
        }
    }

    Component {
        id: welcomePage

        WelcomeStepView {
            objectName: "welcomePage"
            timeScale: onboarding.timeScale
            onNext: onboarding.advance()
        }
    }

    Component {
        id: modelSetupPage

        OnboardingModelSetupView {
            objectName: "modelSetupPage"
            onNext: onboarding.advance()
        }
    }

    Component {
        id: soulSetupPage

        SoulSetupView {
            objectName: "soulSetupPage"
            persona: ChatViewModel.persona
            timeScale: onboarding.timeScale
            onCompleted: onboarding.completed()
        }
    }
}
