import QtQuick
import Emberglass.Backend
import Emberglass.Onboarding

// The launch sequence: the splash, then the onboarding on first use, then the
// main window. There is no way back to an earlier phase.
Item {
    id: root

    enum LaunchPhase { Splash, Onboarding, Main }

    property int phase: RootView.Splash
    // Scales every launch duration (tests run the sequence faster).
    property real timeScale: 1

    function finishSplash() {
        if (phase === RootView.Splash) {
            phase = ChatViewModel.hasCompletedOnboarding ? RootView.Main : RootView.Onboarding
        }
    }

    function completeOnboarding() {
        ChatViewModel.hasCompletedOnboarding = true
        phase = RootView.Main
    }

    // Qt 6.4 cannot load a bound component through a Loader, so these components
    // are not bound and reach the view by id.
    // qmllint disable unqualified
    PhaseLayer {
        objectName: "splashLayer"
        anchors.fill: parent
        shown: root.phase === RootView.Splash
        timeScale: root.timeScale
        sourceComponent: SplashView {
            timeScale: root.timeScale
            onFinished: root.finishSplash()
        }
    }

    PhaseLayer {
        objectName: "onboardingLayer"
        anchors.fill: parent
        shown: root.phase === RootView.Onboarding
        timeScale: root.timeScale
        sourceComponent: OnboardingView {
            onCompleted: root.completeOnboarding()
        }
    }
    // qmllint enable unqualified

    PhaseLayer {
        objectName: "mainLayer"
        anchors.fill: parent
        shown: root.phase === RootView.Main
        timeScale: root.timeScale
        sourceComponent: ContentView {}
    }
}
