import QtQuick
import QtQuick.Controls
import QtTest
import "helpers.js" as Helpers
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Inspector
import Emberglass.InspectorTestSupport
import Emberglass.TestHarness
import Emberglass.Theme

// The model settings: which sections show for which backend, the fields saving
// as they are typed, the connection test, the local model's progress and errors,
// and the sheet form.
TestCase {
    id: testCase
    name: "ModelSettings"
    when: windowShown
    visible: true
    width: 360
    height: 1200

    Component {
        id: settingsComponent
        ModelSettingsView {
            embedded: true
        }
    }

    Component {
        id: sheetComponent
        ModelSettingsSheet {}
    }

    property var view

    function init() {
        TestHarness.reset()
        tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.cloud)
        tryCompare(ChatViewModel.localModelSetup, "modelLoadError", "")
        if (ChatViewModel.backends.cloudConfig.provider !== "Grok")
            ChatViewModel.backends.switchProvider(CloudProviderPreset.Value.grok)
        view = createTemporaryObject(settingsComponent, testCase,
                                     { width: testCase.width, height: testCase.height })
    }

    function cleanup() {
        InspectorTestSupport.setDiskFull(false)
    }

    function section(name) {
        return findChild(view, name)
    }

    function typeInto(field, text) {
        field.input.forceActiveFocus()
        field.input.selectAll()
        keyClick(Qt.Key_Delete)
        for (const ch of text)
            keyClick(ch)
    }

    function test_cloudAndLocalSectionsFollowTheBackend() {
        compare(section("cloudSection").visible, true)
        compare(section("localSection").visible, false)
        compare(findChild(view, "modeCloudAPI").active, true)

        TestHarness.setLocalModelInstalled(true)
        mouseClick(findChild(view, "modeLocalQwen"))
        tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.local)
        compare(section("cloudSection").visible, false)
        compare(section("localSection").visible, true)
        compare(findChild(view, "modeLocalQwen").active, true)
        compare(findChild(view, "localInUse").visible, true)

        mouseClick(findChild(view, "modeCloudAPI"))
        tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.cloud)
        compare(section("cloudSection").visible, true)
        compare(section("localSection").visible, false)
    }

    function test_aFailedLoadShowsItsErrorAndTheSetup() {
        TestHarness.setLocalModelInstalled(false)
        mouseClick(findChild(view, "modeLocalQwen"))
        compare(section("localSection").visible, true, "the chosen mode's settings show while it loads")
        compare(findChild(view, "loadingModel").visible, true)
        tryCompare(ChatViewModel.localModelSetup, "isLoadingModel", false)
        compare(ChatViewModel.backends.activeBackend, AIBackend.Value.cloud)
        compare(findChild(view, "modeCloudAPI").active, true, "the mode in use stays marked")
        const error = findChild(view, "modelLoadError")
        compare(error.visible, true)
        compare(error.text, ChatViewModel.localModelSetup.modelLoadError)
        verify(Helpers.sameColor(error.color, Theme.danger))
        compare(findChild(view, "setupButton").visible, true)
        compare(findChild(view, "localInUse").visible, false)

        // Back to the cloud, which never stopped being active.
        mouseClick(findChild(view, "modeCloudAPI"))
        compare(section("cloudSection").visible, true)
        compare(section("localSection").visible, false)
    }

    function test_providerRowsBadgesAndCheckmark() {
        const expected = [["Grok", ""], ["Doubao", "circle.hexagongrid.fill"], ["ChatGPT", "bubble.left.fill"],
                          ["Gemini", "sparkles"], ["DeepSeek", "water.waves"]]
        for (const [name, symbol] of expected) {
            const row = findChild(view, "provider" + name)
            verify(row, name)
            compare(row.symbol, symbol, name)
            compare(findChild(row, "providerSymbol").visible, symbol.length > 0, name)
            compare(findChild(row, "providerCheckmark").visible, name === "Grok", name)
        }
        const deepSeek = findChild(view, "providerDeepSeek")
        mouseClick(deepSeek)
        compare(ChatViewModel.backends.cloudConfig.provider, "DeepSeek")
        compare(findChild(deepSeek, "providerCheckmark").visible, true)
        compare(findChild(findChild(view, "providerGrok"), "providerCheckmark").visible, false)
        verify(Helpers.sameColor(findChild(deepSeek, "providerSymbol").color, "white"))
        verify(Helpers.sameColor(findChild(findChild(view, "providerGemini"), "providerSymbol").color,
                             Theme.textTertiary))
        compare(findChild(view, "modelField").input.text, "deepseek-flash",
                "the fields show the chosen provider's settings")
        mouseClick(findChild(view, "providerGrok"))
        compare(findChild(view, "modelField").input.text, "grok-test")
    }

    function test_typingReachesTheClientOnEveryKeystroke() {
        const key = findChild(view, "apiKeyField")
        compare(key.input.echoMode, TextInput.Password)
        compare(key.input.placeholderText, "Enter your API key")
        compare(findChild(view, "modelField").input.placeholderText, "Model name")
        compare(findChild(view, "baseUrlField").input.placeholderText, "API base URL")

        typeInto(key, "")
        compare(InspectorTestSupport.cloudClientApiKey(), "")
        let typed = ""
        for (const ch of "sk-9x") {
            keyClick(ch)
            typed += ch
            compare(ChatViewModel.backends.cloudConfig.apiKey, typed)
            compare(InspectorTestSupport.cloudClientApiKey(), typed)
        }
        typeInto(key, "test-key")
        compare(InspectorTestSupport.cloudClientApiKey(), "test-key")
    }

    function test_connectedOnlyAfterASuccessfulProbe() {
        const base = findChild(view, "baseUrlField")
        const connected = findChild(view, "connectedLabel")
        const original = ChatViewModel.backends.cloudConfig.baseURL

        InspectorTestSupport.answerProviderProbes(false)
        typeInto(base, InspectorTestSupport.providerBaseUrl)
        compare(InspectorTestSupport.cloudClientBaseURL(), InspectorTestSupport.providerBaseUrl)
        const probes = InspectorTestSupport.providerProbeCount
        mouseClick(findChild(view, "testConnectionButton"))
        tryCompare(ChatViewModel.backends, "serviceAvailable", false)
        compare(connected.visible, false)
        compare(InspectorTestSupport.providerProbeCount, probes + 1)
        compare(InspectorTestSupport.lastProviderAuthorization(), "Bearer test-key")

        InspectorTestSupport.answerProviderProbes(true)
        compare(connected.visible, false, "nothing shows before the next check")
        mouseClick(findChild(view, "testConnectionButton"))
        tryCompare(connected, "visible", true)
        verify(Helpers.sameColor(connected.color, Theme.success))

        typeInto(base, original)
    }

    Component {
        id: bannersComponent
        StatusBanners {
            width: 400
        }
    }

    function test_theModelFieldOffersWhatTheProviderServes() {
        const base = findChild(view, "baseUrlField")
        const field = findChild(view, "modelField")
        const warning = findChild(view, "modelWarning")
        const banners = createTemporaryObject(bannersComponent, testCase)
        const banner = findChild(banners, "modelNotOfferedBanner")
        const original = ChatViewModel.backends.cloudConfig.baseURL
        compare(field.choices.count, 0, "nothing listed yet: free text only")
        compare(field.choices.editable, true)
        compare(warning.visible, false)

        InspectorTestSupport.listProviderModels(["grok-test", "models/grok-4.3", "alpha"])
        typeInto(base, InspectorTestSupport.providerBaseUrl)
        const probes = InspectorTestSupport.providerProbeCount
        const refresh = findChild(view, "refreshModels")
        const ring = findChild(field, "modelFocusRing")
        mouseClick(field.input)
        compare(ring.visible, false, "no ring after a click")
        mouseClick(refresh)
        compare(field.input.activeFocus, true, "the click leaves the focus in the field")
        tryCompare(field.choices, "count", 3)
        compare(InspectorTestSupport.providerProbeCount, probes + 1)
        compare(field.choices.textAt(0), "alpha")
        compare(field.choices.textAt(1), "grok-4.3") // without Gemini's "models/"
        compare(warning.visible, false, "the configured model is listed")
        compare(banner.visible, false)

        // From the keyboard: the button is pressed with Space or by a screen
        // reader; Shift+Tab lands in the text, with the ring; Up picks the
        // previous listed model.
        refresh.forceActiveFocus(Qt.TabFocusReason)
        compare(refresh.visualFocus, true)
        keyClick(Qt.Key_Space)
        refresh.Accessible.pressAction()
        tryCompare(InspectorTestSupport, "providerProbeCount", probes + 3)
        keyClick(Qt.Key_Backtab)
        compare(field.input.activeFocus, true)
        compare(ring.visible, true)
        keyClick(Qt.Key_Up) // picked from the list
        compare(ChatViewModel.backends.cloudConfig.model, "grok-4.3")
        compare(field.input.text, "grok-4.3")
        compare(InspectorTestSupport.cloudClientModel(), "grok-4.3")

        typeInto(field, "grok-9") // free text stays, flagged
        compare(ChatViewModel.backends.cloudConfig.model, "grok-9")
        compare(warning.visible, true)
        compare(warning.text, "grok-9 is not offered by Grok")
        verify(Helpers.sameColor(warning.color, Theme.warning))
        compare(banner.visible, true)
        compare(findChild(banner, "bannerText").text,
                "Model grok-9 is not offered by Grok — choose one in MODEL")

        typeInto(field, "grok-test")
        compare(banner.visible, false)
        typeInto(base, original) // another address: its list is not known
        compare(field.choices.count, 0)
    }

    function test_aSettingsSaveThatFailsSaysWhy() {
        const field = findChild(view, "modelField")
        const error = findChild(view, "settingsSaveError")
        const banner = findChild(createTemporaryObject(bannersComponent, testCase), "settingsSaveErrorBanner")
        compare(error.visible, false)
        InspectorTestSupport.setDiskFull(true)
        typeInto(field, "grok-9")
        InspectorTestSupport.setDiskFull(false)
        verify(ChatViewModel.settingsSaveError.length > 0)
        compare(error.text, "Could not save settings: " + ChatViewModel.settingsSaveError)
        compare(banner.visible, true)
        compare(InspectorTestSupport.cloudClientModel(), "grok-9", "what was typed is in use")

        typeInto(field, "grok-test")
        compare(error.visible, false)
        compare(banner.visible, false)
    }

    function test_downloadProgressAndItsEnd() {
        TestHarness.setLocalModelInstalled(true)
        ChatViewModel.backends.switchBackend(AIBackend.Value.local)
        tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.local)
        InspectorTestSupport.prepareHeldPull("pulling manifest 42%", 0)
        const setup = findChild(view, "setupButton")
        compare(setup.text, "SETUP LOCAL MODEL")
        mouseClick(setup)
        compare(ChatViewModel.localModelSetup.isPullingModel, true)
        compare(setup.text, "DOWNLOADING...")
        compare(setup.busy, true)
        const progress = findChild(view, "pullProgress")
        tryCompare(progress, "text", "pulling manifest 42%")
        verify(progress.visible, "shown while the download runs")
        verify(Helpers.sameColor(progress.label.color, Theme.textSecondary))

        InspectorTestSupport.finishPull()
        tryCompare(ChatViewModel.localModelSetup, "isPullingModel", false)
        compare(progress.text, "Model ready!")
        verify(Helpers.sameColor(progress.label.color, Theme.success))
        compare(setup.text, "SETUP LOCAL MODEL")
        tryCompare(ChatViewModel.localModelSetup, "isLoadingModel", false)
    }

    function test_aFailedDownloadShowsItsError() {
        TestHarness.setLocalModelInstalled(true)
        ChatViewModel.backends.switchBackend(AIBackend.Value.local)
        tryCompare(ChatViewModel.backends, "activeBackend", AIBackend.Value.local)
        InspectorTestSupport.prepareHeldPull("", 1)
        mouseClick(findChild(view, "setupButton"))
        InspectorTestSupport.finishPull()
        tryCompare(ChatViewModel.localModelSetup, "isPullingModel", false)
        const error = findChild(view, "modelLoadError")
        compare(error.visible, true)
        compare(error.text, "Failed to pull model. Is Ollama installed?")
        compare(findChild(view, "pullProgress").visible, false)
    }

    function test_sheetHasItsHeaderAndEscapeDismissesIt() {
        const sheet = createTemporaryObject(sheetComponent, testCase)
        sheet.open()
        tryCompare(sheet, "opened", true)
        verify(sheet.width >= 480)
        verify(sheet.height >= 420)
        const header = findChild(sheet.contentItem, "sheetHeader")
        compare(header.visible, true)
        compare(header.title, "MODEL SETTINGS")
        compare(header.subtitle, "Configure AI provider")
        compare(header.symbol, "gearshape.fill")
        compare(findChild(view, "sheetHeader").visible, false, "embedded, there is no header")

        keyClick(Qt.Key_Escape)
        tryCompare(sheet, "visible", false)
        sheet.open()
        tryCompare(sheet, "opened", true)
        mouseClick(header.closeButton)
        tryCompare(sheet, "visible", false)
    }

    Component {
        id: inspectorComponent
        InspectorSidebarView {
            panel: ChatViewModel.inspectorPanel
        }
    }

    function test_escapeClosesTheSheetBeforeThePanelBelowIt() {
        ChatViewModel.inspectorPanel = InspectorSidebarPanel.Value.persona
        createTemporaryObject(inspectorComponent, testCase, { width: 320, height: 600 })
        const sheet = createTemporaryObject(sheetComponent, testCase)
        sheet.open()
        tryCompare(sheet, "opened", true)
        keyClick(Qt.Key_Escape)
        tryCompare(sheet, "visible", false)
        compare(ChatViewModel.inspectorPanel, InspectorSidebarPanel.Value.persona)
        keyClick(Qt.Key_Escape)
        compare(ChatViewModel.inspectorPanel, undefined)
    }
}
