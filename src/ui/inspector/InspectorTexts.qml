pragma ComponentBehavior: Bound
pragma Singleton
import QtQuick
import Emberglass.Backend

// Every fixed text of the inspector panels, the model settings and the persona panel.
QtObject {
    // A panel's header, which its sidebar button also shows.
    function panelHeader(panel) {
        switch (panel) {
        case InspectorSidebarPanel.Value.mobile:
            return { symbol: "iphone", title: "MOBILE", subtitle: "Phone on same WiFi" }
        case InspectorSidebarPanel.Value.model:
            return { symbol: "brain", title: "MODEL", subtitle: "Cloud API or local Qwen" }
        case InspectorSidebarPanel.Value.persona:
            return { symbol: "cpu", title: "PERSONA", subtitle: "Soul & memory" }
        case InspectorSidebarPanel.Value.settings:
            return { symbol: "gearshape.fill", title: "SETTINGS", subtitle: "Safety & preferences" }
        case InspectorSidebarPanel.Value.about:
            return { symbol: "info.circle", title: "ABOUT", subtitle: "Version & product info" }
        }
        return { symbol: "", title: "", subtitle: "" }
    }
    readonly property string closePanel: "Close panel"

    // What screen readers say of controls whose look says it without words.
    readonly property string closeDescription: "Escape"
    readonly property string addressDescription: "The address to open in the phone's browser"
    readonly property string qrCodeName: "QR code for the phone address"
    readonly property string qrCodeDescription: "The phone's camera opens the address, key included"
    readonly property string providerDescription: "Cloud provider"
    readonly property string memoryFilesName: "Memory files"
    readonly property string modelSettingsName: "Model settings"
    readonly property string editorDescription: "Ctrl+S saves, Ctrl+Tab moves on"
    readonly property string fileEditorDescription: "Ctrl+Tab moves on"

    // The mobile panel. "Wi\u2011Fi" keeps its hyphen from breaking the line.
    readonly property string mobileIntro: "Chat from your phone on the same Wi\u2011Fi. Messages sync to this computer."
    readonly property string startServer: "START SERVER"
    readonly property string stopServer: "STOP SERVER"
    readonly property string openOnPhone: "OPEN ON PHONE"
    readonly property string howItWorks: "HOW IT WORKS"
    readonly property var mobileSteps: [
        "Phone and computer on same Wi\u2011Fi",
        "Tap Start Server above",
        "Open the URL in your phone browser",
        "Chat syncs to sessions here"
    ]
    readonly property string localNetworkOnly: "Local network only — not on the public internet"

    // The model settings.
    readonly property string modelSettingsTitle: "MODEL SETTINGS"
    readonly property string modelSettingsSubtitle: "Configure AI provider"
    readonly property string mode: "MODE"
    readonly property string provider: "PROVIDER"
    readonly property var providerSymbols: ({
        "Doubao": "circle.hexagongrid.fill",
        "ChatGPT": "bubble.left.fill",
        "Gemini": "sparkles",
        "DeepSeek": "water.waves"
    })
    readonly property string apiConfiguration: "API CONFIGURATION"
    readonly property string apiKeyLabel: "API Key"
    readonly property string apiKeyPlaceholder: "Enter your API key"
    readonly property string modelLabel: "Model"
    readonly property string modelPlaceholder: "Model name"
    readonly property string modelDescription: "Type a model name, or choose one the provider offers with Up and Down"
    readonly property string refreshModels: "Ask the provider for its models"
    readonly property string refreshModelsDescription: "The models it offers become the field's choices"
    function modelNotOffered(model, provider) {
        return model + " is not offered by " + provider
    }
    readonly property string baseUrlLabel: "Base URL"
    readonly property string baseUrlPlaceholder: "API base URL"
    readonly property string testConnection: "TEST CONNECTION"
    readonly property string connected: "Connected"
    readonly property string localModel: "LOCAL MODEL"
    readonly property string localModelTitle: "Qwen 2.5 — 3B via Ollama"
    readonly property string localModelRequirement: "Requires Ollama running · ollama pull qwen2.5:3b"
    readonly property string setupLocalModel: "SETUP LOCAL MODEL"
    readonly property string downloading: "DOWNLOADING..."
    readonly property string modelReady: "Model ready!"
    readonly property string loadingModel: "LOADING MODEL..."
    readonly property string howToSetUp: "HOW TO SET UP"
    readonly property var setupSteps: [
        "Install Ollama from ollama.com",
        "Click SETUP LOCAL MODEL above",
        "Switch MODE to Local Qwen"
    ]

    // The settings panel: each preference's title and the line that explains it.
    readonly property string safetySection: "SAFETY"
    readonly property string askBeforeActing: "Ask before the agent runs commands or changes files"
    readonly property string askBeforeActingExplanation: "Each command, and each file written outside ~/.nimbrook, waits for your Allow. Off, the agent acts unattended."
    readonly property string sandboxCommands: "Run commands in a sandbox"
    readonly property string sandboxCommandsExplanation: "Commands see the system read-only, may write only in your home folder and a private /tmp, and find keys, tokens and browser profiles empty."
    function notAvailable(reason) {
        return "Not available: " + reason
    }

    // The persona panel.
    readonly property var tabs: [
        { name: "soul", label: "SOUL", symbol: "sparkles", file: "soul.md" },
        { name: "memory", label: "MEMORY", symbol: "brain.head.profile", file: "MEMORY.md" },
        { name: "logs", label: "LOGS", symbol: "clock", file: "memory/" }
    ]
    readonly property string unsaved: "UNSAVED"
    readonly property string saved: "SAVED"
    readonly property string save: "SAVE"
    readonly property string back: "BACK"
    readonly property string refresh: "REFRESH"
    readonly property string openFolder: "OPEN FOLDER"
    readonly property string noMemoryLogs: "No memory logs yet"
    readonly property string noMemoryLogsHint: "The AI will create daily logs and topic files\nas it learns about you."
    readonly property string markdownExtension: ".md"
    // A save that failed; the reason is the system's own ("No space left on device").
    readonly property string saveAnyway: "SAVE ANYWAY"

    // What the persona panel warns of in a file, by the store's names for it.
    function fileIssue(file, issue) {
        if (issue === "notUtf8")
            return file + " is not valid UTF-8: the bytes that are not show as \uFFFD, and saving replaces them."
        if (issue === "tooLarge")
            return file + " is larger than 256 KiB: the agent sees only its first 256 KiB."
        if (issue === "changedOnDisk")
            return file + " changed on disk while you were editing it."
        return ""
    }
    function confirmSave(file) {
        return "Saving replaces " + file + " as it is on disk now. Press SAVE ANYWAY to replace it."
    }

    function couldNotSave(reason) {
        return "Could not save: " + reason
    }
}
