import QtQuick
import QtTest
import Emberglass.Backend
import Emberglass.Shell
import Emberglass.TestHarness

// The launch phases and the splash's one-time end, with every duration scaled
// down.
// TestCase itself is invisible, so the views under test live in `scene`.
Item {
    id: scene
    width: 940
    height: 680

    TestCase {
        id: testCase
        name: "Launch"
        when: windowShown

        readonly property real timeScale: 0.05

        Component {
            id: rootComponent
            RootView {
                width: scene.width
                height: scene.height
                timeScale: testCase.timeScale
            }
        }

        Component {
            id: splashComponent
            SplashView {
                timeScale: testCase.timeScale
            }
        }

        function init() {
            TestHarness.reset()
        }

        function layerOf(root, name) {
            return findChild(root, name)
        }

        function test_firstLaunchGoesThroughOnboarding() {
            ChatViewModel.hasCompletedOnboarding = false
            const root = createTemporaryObject(rootComponent, scene)
            compare(root.phase, RootView.Splash)
            compare(layerOf(root, "splashLayer").opacity, 1)
            compare(layerOf(root, "mainLayer").active, false)

            tryCompare(root, "phase", RootView.Onboarding)
            const onboarding = layerOf(root, "onboardingLayer")
            tryCompare(onboarding, "opacity", 1)
            tryCompare(layerOf(root, "splashLayer"), "active", false)
            compare(ChatViewModel.hasCompletedOnboarding, false)

            onboarding.item.completed()
            compare(ChatViewModel.hasCompletedOnboarding, true)
            compare(root.phase, RootView.Main)
            tryCompare(layerOf(root, "mainLayer"), "opacity", 1)
            tryCompare(onboarding, "active", false)
        }

        function test_laterLaunchesGoStraightToTheMainWindow() {
            ChatViewModel.hasCompletedOnboarding = true
            const root = createTemporaryObject(rootComponent, scene)
            const phases = []
            root.phaseChanged.connect(() => phases.push(root.phase))
            tryCompare(root, "phase", RootView.Main)
            compare(phases, [RootView.Main], "no onboarding on the way")
            tryCompare(layerOf(root, "mainLayer"), "opacity", 1)
            compare(layerOf(root, "onboardingLayer").active, false)
            compare(ChatViewModel.hasCompletedOnboarding, true)
            // Typing goes straight to the input field.
            tryCompare(findChild(root, "inputArea"), "activeFocus", true)
        }

        function test_phaseChangesFade() {
            ChatViewModel.hasCompletedOnboarding = true
            const root = createTemporaryObject(rootComponent, scene, { timeScale: 0.5 })
            const main = layerOf(root, "mainLayer")
            const seen = []
            main.opacityChanged.connect(() => seen.push(main.opacity))
            tryCompare(root, "phase", RootView.Main, 3000)
            tryCompare(main, "opacity", 1)
            tryCompare(layerOf(root, "splashLayer"), "opacity", 0)
            verify(seen.some(value => value > 0 && value < 1), "faded in, not switched: " + seen)
        }

        SignalSpy {
            id: finishedSpy
            signalName: "finished"
        }

        function test_splashFinishesOnceAfterItsFades() {
            const splash = createTemporaryObject(splashComponent, scene)
            finishedSpy.target = splash
            finishedSpy.clear()
            const started = Date.now()
            finishedSpy.wait(2000)
            const elapsed = Date.now() - started
            compare(finishedSpy.count, 1)
            // Not before the last fade (1.4 s scaled) has ended.
            verify(elapsed >= 1400 * testCase.timeScale, "finished after " + elapsed + " ms")
            compare(splash.iconOpacity, 1)
            compare(splash.iconScale, 1)
            compare(splash.textOpacity, 1)
            compare(splash.subtitleOpacity, 1)
            // And never again, however long it stays.
            const later = createTemporaryObject(splashComponent, scene)
            const laterSpy = createTemporaryObject(spyComponent, scene, { target: later })
            laterSpy.wait(2000)
            compare(finishedSpy.count, 1)
        }

        Component {
            id: spyComponent
            SignalSpy {
                signalName: "finished"
            }
        }

        function test_splashFadesInInOrder() {
            const splash = createTemporaryObject(splashComponent, scene)
            compare(splash.iconOpacity, 0)
            compare(splash.iconScale, 0.7)
            compare(splash.textOpacity, 0)
            compare(splash.subtitleOpacity, 0)
            // The icon leads, the name follows, the subtitle comes last.
            tryVerify(() => splash.iconOpacity > 0.5)
            verify(splash.subtitleOpacity <= splash.textOpacity)
            verify(splash.textOpacity <= splash.iconOpacity)
            tryCompare(splash, "subtitleOpacity", 1)
        }
    }
}
