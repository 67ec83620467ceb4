import QtQuick
import QtQuick.Controls
import QtTest
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Inspector
import Emberglass.Onboarding
import Emberglass.TestHarness
import Emberglass.ViewTestSupport

// The inspector's panels and the onboarding wired to the controller: what the
// user types reaches the settings and the persona store, saves that fail say
// why and keep the text, and the model field works from the keyboard; and the
// badges the small views pick by kind.
Item {
    id: scene
    width: 940
    height: 1000

    // An action on a full disk: every write that would grow a file fails.
    function onFullDisk(action) {
        ViewTestSupport.setDiskFull(true)
        try {
            action()
        } finally {
            ViewTestSupport.setDiskFull(false)
        }
    }

    function typeInto(testCase, item, text) {
        item.forceActiveFocus()
        item.selectAll()
        testCase.keyClick(Qt.Key_Delete)
        for (const ch of text)
            testCase.keyClick(ch === "\n" ? Qt.Key_Return : ch)
    }

    TestCase {
        id: modelCase
        name: "ModelSettings"
        when: windowShown

        Component {
            id: settingsComponent
            Column {
                property alias view: settings
                ModelSettingsView { id: settings; embedded: true; width: 360; height: 800 }
                StatusBanners { width: 360 }
            }
        }

        property var view
        property var banners

        function init() {
            failOnWarning(/.?/) // a QML warning (binding loop, null read) is a fault
            TestHarness.reset()
            tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.cloud)
            ChatViewModel.backends.switchProvider(CloudProviderPreset.Value.grok)
            banners = createTemporaryObject(settingsComponent, scene)
            view = banners.view
        }

        // The chosen mode's settings show and a failed setup says why; a click on
        // the provider that is on leaves it on.
        function test_sectionsFieldsAndFailures() {
            const cloud = findChild(view, "modeCloudAPI")
            compare(findChild(view, "localSection").visible, false)
            TestHarness.setLocalModelInstalled(false)
            mouseClick(findChild(view, "modeLocalQwen"))
            compare(findChild(view, "localSection").visible, true, "the chosen mode's settings show while it loads")
            tryCompare(ChatViewModel.localModelSetup, "isLoadingModel", false)
            compare(findChild(view, "modeCloudAPI").active, true, "the mode in use stays marked")
            const error = findChild(view, "modelLoadError")
            compare(error.text, ChatViewModel.localModelSetup.modelLoadError)
            ViewTestSupport.hideOllama()
            mouseClick(findChild(view, "setupButton"))
            tryCompare(error, "text", "Ollama not found. Install from ollama.com")
            mouseClick(cloud)
            compare([cloud.checked, findChild(view, "cloudSection").visible], [true, true])
            const gemini = findChild(view, "providerGemini")
            mouseClick(gemini)
            verify(gemini.checked && !findChild(view, "providerGrok").checked)
            mouseClick(gemini)
            verify(gemini.checked, "still on")

            // The fields write through as typed; a save that fails says why.
            mouseClick(findChild(view, "providerDeepSeek"))
            compare(findChild(view, "modelField").input.text, "deepseek-flash", "the chosen provider's settings show")
            mouseClick(findChild(view, "providerGrok"))
            const key = findChild(view, "apiKeyField").input
            compare(key.echoMode, TextInput.Password)
            typeInto(modelCase, key, "sk")
            compare(ChatViewModel.backends.cloudConfig.apiKey, "sk", "saved as it is typed")
            onFullDisk(() => keyClick("x"))
            compare([ChatViewModel.backends.cloudConfig.apiKey, findChild(view, "settingsSaveError").text,
                     findChild(banners, "settingsSaveErrorBanner").visible],
                    ["skx", "Could not save settings: " + ChatViewModel.settingsSaveError, true], "what was typed is in use")
            keyClick(Qt.Key_Backspace)
            compare(findChild(view, "settingsSaveError").visible, false)

            const connected = findChild(view, "connectedLabel")
            TestHarness.setCloudReachable(false)
            tryCompare(ChatViewModel.backends, "serviceAvailable", false)
            TestHarness.setCloudReachable(true)
            compare(connected.visible, false, "nothing shows before the next check")
            mouseClick(findChild(view, "testConnectionButton"))
            tryCompare(connected, "visible", true)
        }

        function test_modelFieldFromTheKeyboardAndTheMouse() {
            const field = findChild(view, "modelField")
            const refresh = findChild(view, "refreshModels")
            const ring = findChild(field, "modelFocusRing")
            const original = ChatViewModel.backends.cloudConfig.baseURL
            ViewTestSupport.listProviderModels(["alpha"])
            ChatViewModel.backends.setCloudBaseURL(ViewTestSupport.providerBaseUrl)
            mouseClick(field.input)
            mouseClick(refresh)
            compare(field.input.activeFocus, true, "the click leaves the focus in the field")
            tryCompare(field.choices, "count", 1)

            // A screen reader's press action asks again; Shift+Tab goes back
            // into the text, with the ring; Up picks the previous model.
            refresh.forceActiveFocus(Qt.TabFocusReason)
            ViewTestSupport.listProviderModels(["grok-4.3", "alpha", "grok-test"])
            refresh.Accessible.pressAction()
            tryCompare(field.choices, "count", 3)
            keyClick(Qt.Key_Backtab)
            compare([field.input.activeFocus, ring.visible], [true, true])
            keyClick(Qt.Key_Up)
            compare(ChatViewModel.backends.cloudConfig.model, "grok-4.3")

            // The list opens on a click on the arrow's strip, even at its edge, and
            // on Alt+Down in the text; Escape closes it again.
            const arrow = findChild(field, "modelChoicesArrow")
            const popup = field.choices.popup
            const opens = (open, how) => {
                open()
                tryCompare(popup, "opened", true, 10000, how)
                compare(ChatViewModel.backends.cloudConfig.model, "grok-4.3", "opening picks nothing")
                keyClick(Qt.Key_Escape)
                tryCompare(popup, "visible", false)
            }
            opens(() => mouseClick(arrow, 2, arrow.height / 2), "a click at its edge")
            field.input.forceActiveFocus(Qt.TabFocusReason)
            opens(() => keyClick(Qt.Key_Down, Qt.AltModifier), "Alt+Down")

            typeInto(modelCase, field.input, "grok-9") // free text stays, flagged
            compare(findChild(view, "modelWarning").text, "grok-9 is not offered by Grok")
            compare(findChild(findChild(banners, "modelNotOfferedBanner"), "bannerText").text,
                    "Model grok-9 is not offered by Grok — choose one in MODEL")
            ChatViewModel.backends.setCloudBaseURL(original)
            compare(field.choices.count, 0, "another address: its list is not known")
            compare(findChild(banners, "modelNotOfferedBanner").visible, false)
        }
    }

    TestCase {
        id: personaCase
        name: "PersonaPanel"
        when: windowShown

        Component {
            id: panelComponent
            PersonaSettingsView { embeddedInInspector: true; width: 360; height: 640 }
        }

        readonly property var persona: ChatViewModel.persona
        property var panel

        function init() {
            failOnWarning(/.?/) // a QML warning (binding loop, null read) is a fault
            TestHarness.reset()
            verify(persona.writeTextAtomically(persona.soulURL, "# Aria"))
            verify(persona.writeTextAtomically(persona.memoryDirectory + "/2026-03-14-work.md", "Ships"))
            persona.reload()
            persona.loadMemoryFiles()
            panel = createTemporaryObject(panelComponent, scene)
        }

        // What is typed reaches the store at once and the file on saving. The
        // soul editor follows a file changed by someone else while it holds
        // nothing unsaved; a file that is not UTF-8, or that changed while edited,
        // is warned of and saved over only after SAVE ANYWAY, the edits kept.
        function test_theSoulEditor() {
            const editor = panel.content
            const notice = findChild(editor, "fileNotice")
            const confirmation = findChild(editor, "saveConfirmation")
            const save = findChild(editor, "saveButton")
            const status = findChild(editor, "saveStatus")
            typeInto(personaCase, editor.textArea, "# Aria Kind.")
            compare(persona.soul, "# Aria Kind.", "the store changes at once")
            compare([ViewTestSupport.readFile(persona.soulURL), status.text], ["# Aria", "UNSAVED"], "the file only on saving")
            keyClick(Qt.Key_S, Qt.ControlModifier)
            compare([ViewTestSupport.readFile(persona.soulURL), status.text], ["# Aria Kind.", "SAVED"])
            // An editor keeps the tabs typed in it; Ctrl+Tab is the way out.
            keyClick(Qt.Key_Tab)
            compare(persona.soul, "# Aria Kind.\t")
            keyClick(Qt.Key_Tab, Qt.ControlModifier)
            compare([editor.textArea.activeFocus, persona.soul], [false, "# Aria Kind.\t"])

            persona.soul = ViewTestSupport.readFile(persona.soulURL) // the editor holds the file
            tryCompare(status, "text", "SAVED")
            verify(ViewTestSupport.writeLatin1(persona.soulURL, "# Written by the agent"))
            tryCompare(editor.textArea, "text", "# Written by the agent")
            tryCompare(status, "text", "SAVED")
            compare(notice.text, "")

            verify(ViewTestSupport.writeLatin1(persona.soulURL, "# Ren\u00e9"))
            tryCompare(editor.textArea, "text", "# Ren\uFFFD")
            compare(notice.text, "soul.md is not valid UTF-8: the bytes that are not show as \uFFFD, "
                    + "and saving replaces them.")
            typeInto(personaCase, editor.textArea, "# Rene")
            mouseClick(save)
            compare([confirmation.text, save.text, ViewTestSupport.readFile(persona.soulURL)],
                    ["Saving replaces soul.md as it is on disk now. Press SAVE ANYWAY to replace it.", "SAVE ANYWAY",
                     "# Ren\uFFFD"], "nothing written yet")
            mouseClick(save)
            compare(ViewTestSupport.readFile(persona.soulURL), "# Rene")
            compare([notice.text, confirmation.text, save.text, status.text], ["", "", "SAVE", "SAVED"])

            typeInto(personaCase, editor.textArea, "# Mine")
            verify(ViewTestSupport.writeLatin1(persona.soulURL, "# Agent again"))
            tryCompare(notice, "text", "soul.md changed on disk while you were editing it.")
            compare([editor.textArea.text, status.text], ["# Mine", "UNSAVED"])
            mouseClick(save)
            compare([save.text, ViewTestSupport.readFile(persona.soulURL)], ["SAVE ANYWAY", "# Agent again"])
            mouseClick(save)
            compare(ViewTestSupport.readFile(persona.soulURL), "# Mine")
            compare([notice.text, status.text], ["", "SAVED"])

            // Too long for the prompt: the agent sees its start, and the panel says so.
            verify(ViewTestSupport.writeLatin1(persona.soulURL, "# Long\n" + "x".repeat(300 * 1024)))
            tryCompare(notice, "text", "soul.md is larger than 256 KiB: the agent sees only its first 256 KiB.")
        }

        // On a full disk an editor says why and keeps the text until a save succeeds.
        function test_aFailedSaveSaysWhyAndKeepsTheText() {
            const path = persona.memoryDirectory + "/2026-03-14-work.md"
            mouseClick(findChild(panel, "logsTab"))
            const list = findChild(panel.content, "memoryFileList")
            tryVerify(() => list.count > 0 && list.itemAtIndex(0))
            mouseClick(list.itemAtIndex(0))
            compare(findChild(panel, "fileLabel").text, "2026-03-14-work.md")
            const editor = panel.content
            typeInto(personaCase, editor.textArea, "Ships on Fridays")
            onFullDisk(() => mouseClick(findChild(editor, "saveFileButton")))
            compare([findChild(editor, "saveError").text, editor.textArea.text, ViewTestSupport.readFile(path)],
                    ["Could not save: File too large", "Ships on Fridays", "Ships"])
            mouseClick(findChild(editor, "saveFileButton"))
            compare([findChild(editor, "saveError").visible, ViewTestSupport.readFile(path)], [false, "Ships on Fridays"])
        }
    }

    TestCase {
        id: onboardingCase
        name: "Onboarding"
        when: windowShown

        Component {
            id: onboardingComponent
            OnboardingView { width: 940; height: 760; timeScale: 0.01 }
        }

        SignalSpy { id: completedSpy; signalName: "completed" }

        readonly property var persona: ChatViewModel.persona
        property var onboarding

        function init() {
            failOnWarning(/.?/) // a QML warning (binding loop, null read) is a fault
            TestHarness.reset()
            ChatViewModel.backends.setCloudApiKey("test-key")
            verify(persona.writeTextAtomically(persona.soulURL, "# Before"))
            persona.reload()
            onboarding = createTemporaryObject(onboardingComponent, scene)
            completedSpy.clear()
            completedSpy.target = onboarding
        }

        function page(name) {
            tryVerify(() => onboarding.page && onboarding.page.objectName === name && !onboarding.transitioning,
                      2000, name)
            return onboarding.page
        }

        // Each page from the keyboard: the first control has the focus as the
        // page appears, and Return or Enter presses the focused button.
        function test_welcomeKeyAndQuestionnaire() {
            const start = findChild(page("welcomePage"), "getStartedButton")
            tryVerify(() => start.activeFocus && start.visualFocus, 10000, "on GET STARTED, with the ring")
            keyClick(Qt.Key_Return)
            const setup = page("modelSetupPage")
            const next = findChild(setup, "nextButton")
            ChatViewModel.backends.setCloudApiKey(" \n\t ")
            compare(next.enabled, false, "a key of white space is no key")
            compare(findChild(setup, "apiKeyHint").visible, true)
            ChatViewModel.backends.switchBackend(AIBackend.Value.local)
            tryCompare(next, "enabled", true, 10000, "the local model needs no key")
            ChatViewModel.backends.switchBackend(AIBackend.Value.cloud)
            findChild(setup, "apiKeyField").input.forceActiveFocus()
            keyClick("k")
            compare(next.enabled, true, "the key typed into the embedded settings")
            next.forceActiveFocus(Qt.TabFocusReason)
            keyClick(Qt.Key_Enter, Qt.KeypadModifier)

            const soul = page("soulSetupPage")
            const input = findChild(soul, "soulInput")
            tryCompare(input, "activeFocus", true, 10000, "typing goes to the answer at once")
            const answers = ["Nova", "female", "20s", "research"]
            for (let i = 0; i < answers.length; ++i) {
                typeInto(onboardingCase, input, answers[i] + "\n")
                tryCompare(soul.questionnaire.chatLog, "length", Math.min(3 + 2 * i, 8)) // and the next question
            }
            tryCompare(soul.questionnaire, "showPreview", true)
            compare(ViewTestSupport.readFile(persona.soulURL), "# Before", "nothing is written before ENTER")
            mouseClick(findChild(soul, "enterButton"))
            compare(completedSpy.count, 1)
            verify(persona.soul.startsWith("# Nova\n\n- Name: Nova\n- Gender: female\n"), persona.soul)
        }

        // A field reached with Tab scrolls into view, on a page too short for the form.
        function test_aFocusedFieldScrollsIntoView() {
            onboarding.height = 420
            tryCompare(findChild(page("welcomePage"), "getStartedButton"), "activeFocus", true)
            keyClick(Qt.Key_Return)
            const setup = page("modelSetupPage")
            const scroll = findChild(setup, "modelSettingsScroll").contentItem
            for (const name of ["baseUrlField", "apiKeyField", "testConnectionButton", "modeCloudAPI"]) {
                const item = findChild(setup, name)
                const target = item.input || item
                target.forceActiveFocus(Qt.TabFocusReason)
                const box = target.mapToItem(scroll, 0, 0, target.width, target.height)
                verify(box.y >= 0 && box.y + box.height <= scroll.height, name + " at " + box.y + " in " + scroll.height)
            }
        }

        function test_aPastedSoulIsStoredOrSaysWhyNot() {
            mouseClick(findChild(page("welcomePage"), "getStartedButton"))
            mouseClick(findChild(page("modelSetupPage"), "skipButton"))
            const soul = page("soulSetupPage")
            mouseClick(findChild(soul, "pasteLink"))
            const editor = findChild(soul, "pastedSoulEditor")
            typeInto(onboardingCase, editor.textArea, "\n# Kai\n")
            mouseClick(findChild(soul, "pasteBackButton"))
            mouseClick(findChild(soul, "pasteLink"))
            compare(editor.textArea.text, "\n# Kai\n", "the paste is kept")
            const enter = findChild(soul, "pasteEnterButton")
            onFullDisk(() => mouseClick(enter))
            compare(completedSpy.count, 0, "the onboarding goes on only with the soul on disk")
            compare(findChild(findChild(soul, "pasteMode"), "saveError").text, "Could not save: File too large")
            mouseClick(enter)
            compare(completedSpy.count, 1)
            compare(ViewTestSupport.readFile(persona.soulURL), "# Kai")
        }
    }

    // What the small views pick by a kind the controller hands them as an
    // enumeration: a memory file's badge and a questionnaire line's side.
    TestCase {
        name: "Badges"
        when: windowShown

        Component { id: memoryBadge; MemoryFileBadge {} }
        Component { id: chatRow; SoulChatRow { width: 300 } }

        function init() {
            failOnWarning(/.?/) // an unknown kind must not read undefined
        }

        // Rows: tests/data/ui/views.json, each the view, what it is given and what it picks.
        function test_pickedByKind_data() { return ViewTestSupport.rows("badges") }

        function test_pickedByKind(data) {
            const given = Object.assign({}, data.given)
            if (data.view === "chatRow")
                given.role = SoulQuestionnaire.Speaker[given.role]
            const view = createTemporaryObject({ memoryBadge, chatRow }[data.view], scene, given)
            compare(view[data.picks], data.expected)
        }
    }
}
