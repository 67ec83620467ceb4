import QtQuick
import QtTest
import "helpers.js" as Helpers
import Emberglass.Backend
import Emberglass.InspectorTestSupport
import Emberglass.TestHarness
import Emberglass.Onboarding
import Emberglass.Theme

// The first run: the pages in order, NEXT waiting for a cloud key, the soul
// questionnaire and the pasted soul, and the soul stored before `completed`.
TestCase {
    id: testCase
    name: "Onboarding"
    when: windowShown
    visible: true
    width: 940
    height: 760

    Component {
        id: onboardingComponent
        OnboardingView {
            timeScale: 0.01
        }
    }

    readonly property var persona: ChatViewModel.persona
    readonly property string soulBefore: "# Before"
    property var onboarding
    property var completed

    SignalSpy {
        id: completedSpy
        signalName: "completed"
    }

    function init() {
        TestHarness.reset()
        ChatViewModel.backends.setCloudApiKey("test-key")
        persona.soul = soulBefore
        verify(InspectorTestSupport.writeFile(persona.soulURL, soulBefore))
        onboarding = createTemporaryObject(onboardingComponent, testCase,
                                           { width: testCase.width, height: testCase.height })
        completedSpy.clear()
        completedSpy.target = onboarding
    }

    function cleanup() {
        InspectorTestSupport.setDiskFull(false)
        ChatViewModel.backends.setCloudApiKey("test-key")
    }

    function page(name) {
        tryVerify(() => onboarding.page && onboarding.page.objectName === name && !onboarding.transitioning,
                  2000, name)
        return onboarding.page
    }

    function toModelSetup() {
        mouseClick(findChild(page("welcomePage"), "getStartedButton"))
        return page("modelSetupPage")
    }

    function toSoulSetup() {
        mouseClick(findChild(toModelSetup(), "skipButton"))
        return page("soulSetupPage")
    }

    function submit(soulPage, text) {
        const input = findChild(soulPage, "soulInput")
        input.forceActiveFocus()
        for (const ch of text)
            keyClick(ch)
        keyClick(Qt.Key_Return)
    }

    function answerAll(soulPage, answers) {
        const questionnaire = soulPage.questionnaire
        for (let i = 0; i < answers.length; ++i) {
            const before = questionnaire.chatLog.length
            submit(soulPage, answers[i])
            if (i + 1 < answers.length)
                tryCompare(questionnaire.chatLog, "length", before + 2)
        }
        tryCompare(questionnaire, "showPreview", true)
    }

    function test_fadesInAndWelcomes() {
        tryCompare(onboarding, "fadeIn", true)
        const welcome = page("welcomePage")
        tryCompare(welcome, "appear", true)
        const texts = Helpers.textsOf(welcome)
        for (const text of ["EMBERGLASS", "YOUR ULTIMATE AGENT", "01", "LOCAL OR CLOUD AI",
                            "Run Qwen locally, or connect Grok, ChatGPT, Gemini, DeepSeek", "02",
                            "MOBILE ACCESS", "Chat from your phone on the same WiFi network", "03",
                            "SOUL & MEMORY", "Give your agent a unique personality that persists",
                            "GET STARTED"])
            verify(texts.includes(text), text)
        tryCompare(findChild(welcome, "featureList"), "opacity", 1)
    }

    function test_nextWaitsForACloudKey() {
        const setup = toModelSetup()
        const next = findChild(setup, "nextButton")
        const hint = findChild(setup, "apiKeyHint")
        compare(next.enabled, true)
        compare(hint.visible, false)

        ChatViewModel.backends.setCloudApiKey(" \n\t ")
        compare(next.enabled, false, "a key of white space is no key")
        compare(hint.visible, true)
        compare(hint.text, "Enter your API key to continue with a cloud model, or skip for now.")
        mouseClick(next)
        compare(onboarding.step, 1, "NEXT does nothing while disabled")

        TestHarness.setLocalModelInstalled(true)
        ChatViewModel.backends.switchBackend(AIBackend.Value.local)
        tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.local)
        compare(next.enabled, true, "the local model needs no key")
        compare(hint.visible, false)
        ChatViewModel.backends.switchBackend(AIBackend.Value.cloud)
        compare(next.enabled, false)

        // The key typed into the embedded settings enables NEXT.
        const key = findChild(setup, "apiKeyField")
        key.input.forceActiveFocus()
        keyClick("k")
        compare(ChatViewModel.backends.cloudConfig.apiKey, " \n\t k")
        compare(next.enabled, true)
        mouseClick(next)
        page("soulSetupPage")
        compare(onboarding.step, 2)
    }

    function test_skipMovesOnWithoutAKey() {
        ChatViewModel.backends.setCloudApiKey("")
        const setup = toModelSetup()
        compare(findChild(setup, "nextButton").enabled, false)
        mouseClick(findChild(setup, "skipButton"))
        page("soulSetupPage")
        compare(ChatViewModel.backends.cloudConfig.apiKey, "", "skipping leaves the settings as they are")
    }

    function test_questionnaireWritesTheSoul() {
        const soul = toSoulSetup()
        const questionnaire = soul.questionnaire
        compare(questionnaire.chatLog, [{ role: "system", text: "Let's create your AI agent. Give your AI agent a name." }])
        compare(findChild(soul, "soulInput").placeholderText, "Type here...")
        tryCompare(findChild(soul, "soulInput"), "activeFocus", true, 2000, "typing goes to the answer at once")

        submit(soul, "   ")
        compare(questionnaire.chatLog.length, 1, "a blank answer is not taken")

        answerAll(soul, ["Nova", "female", "20s", "research"])
        compare(findChild(soul, "inputRow").visible, false)
        compare(findChild(soul, "pasteLink").visible, false)
        compare(findChild(soul, "soulPreview").visible, true)
        compare(findChild(soul, "preview_name").text, "Nova")
        compare(findChild(soul, "preview_gender").text, "female")
        compare(findChild(soul, "preview_age").text, "20s")
        compare(findChild(soul, "preview_specialty").text, "research")
        compare(InspectorTestSupport.readFile(persona.soulURL), soulBefore, "nothing is written before ENTER")
        compare(completedSpy.count, 0)

        mouseClick(findChild(soul, "enterButton"))
        compare(completedSpy.count, 1)
        const written = InspectorTestSupport.readFile(persona.soulURL)
        verify(written.startsWith("# Nova\n\n- Name: Nova\n- Gender: female\n- Age: 20s\n- Specialties: research\n\n"
                                  + "You are Nova, an AI agent running on the user's computer.\n"), written)
        compare(persona.soul, written)
        compare(persona.agentName, "Nova")
    }

    function test_logRowsAndTheirSides() {
        const soul = toSoulSetup()
        submit(soul, "Nova")
        tryCompare(soul.questionnaire.chatLog, "length", 3)
        const log = findChild(soul, "soulChatLog")
        tryCompare(log, "count", 3)
        const agent = log.itemAtIndex(0)
        const user = log.itemAtIndex(1)
        verify(Helpers.textsOf(agent).includes("Emberglass"), "the agent's rows carry its label")
        verify(!Helpers.textsOf(user).includes("Emberglass"))
        const userBubble = findChild(user, "userBubble")
        compare(findChild(agent, "userBubble").visible, false)
        verify(userBubble.x > log.width / 2, "the user's bubble sits on the trailing side")
        verify(userBubble.x >= 60)
    }

    function test_pasteModeKeepsTheQuestionnaireAndStoresTheTrimmedSoul() {
        const soul = toSoulSetup()
        submit(soul, "Nova")
        tryCompare(soul.questionnaire.chatLog, "length", 3)
        mouseClick(findChild(soul, "pasteLink"))
        compare(findChild(soul, "pasteMode").visible, true)
        compare(findChild(soul, "questionnaireMode").visible, false)
        const enter = findChild(soul, "pasteEnterButton")
        compare(enter.dimmed, true, "dimmed while empty")
        compare(enter.enabled, true, "but it still works")

        const editor = findChild(soul, "pastedSoulEditor")
        editor.textArea.forceActiveFocus()
        keyClick(Qt.Key_Return)
        for (const ch of "# Lumen")
            keyClick(ch)
        keyClick(Qt.Key_Return)
        keyClick(Qt.Key_Return)
        compare(soul.questionnaire.pastedSoul, "\n# Lumen\n\n")
        compare(enter.dimmed, false)

        mouseClick(findChild(soul, "pasteBackButton"))
        compare(findChild(soul, "questionnaireMode").visible, true)
        compare(soul.questionnaire.chatLog.length, 3, "the log is intact")
        compare(findChild(soul, "soulChatLog").count, 3)
        mouseClick(findChild(soul, "pasteLink"))
        compare(editor.textArea.text, "\n# Lumen\n\n", "the paste is kept")

        mouseClick(enter)
        compare(completedSpy.count, 1)
        compare(InspectorTestSupport.readFile(persona.soulURL), "# Lumen")
        compare(persona.agentName, "Lumen")
    }

    function test_aSoulThatCannotBeSavedSaysWhyAndStays() {
        const soul = toSoulSetup()
        mouseClick(findChild(soul, "pasteLink"))
        soul.questionnaire.pastedSoul = "# Kai"
        const enter = findChild(soul, "pasteEnterButton")
        InspectorTestSupport.setDiskFull(true)
        mouseClick(enter)
        InspectorTestSupport.setDiskFull(false)
        compare(completedSpy.count, 0, "the onboarding goes on only with the soul on disk")
        compare(findChild(findChild(soul, "pasteMode"), "saveError").text, "Could not save: File too large")
        compare(findChild(soul, "pastedSoulEditor").textArea.text, "# Kai")
        mouseClick(enter)
        compare(completedSpy.count, 1)
        compare(InspectorTestSupport.readFile(persona.soulURL), "# Kai")
    }

    function test_anEmptyPasteStoresAnEmptySoul() {
        const soul = toSoulSetup()
        mouseClick(findChild(soul, "pasteLink"))
        mouseClick(findChild(soul, "pasteEnterButton"))
        compare(completedSpy.count, 1)
        compare(InspectorTestSupport.readFile(persona.soulURL), "")
        compare(persona.soul, "")
    }
}
