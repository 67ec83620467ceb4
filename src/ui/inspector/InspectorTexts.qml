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
    readonly property string closePanel: qsTr("Close panel")

    // What screen readers say of controls whose look says it without words.
    readonly property string closeDescription: qsTr("Escape")
    readonly property string addressDescription: qsTr("The address to open in the phone's browser")
    readonly property string qrCodeName: qsTr("QR code for the phone address")
    readonly property string qrCodeDescription: qsTr("The phone's camera opens the address, key included")
    readonly property string providerDescription: qsTr("Cloud provider")
    readonly property string memoryFilesName: qsTr("Memory files")
    readonly property string modelSettingsName: qsTr("Model settings")
    readonly property string editorDescription: qsTr("Ctrl+S saves, Ctrl+Tab moves on")
    readonly property string fileEditorDescription: qsTr("Ctrl+Tab moves on")

    // The mobile panel. "Wi\u2011Fi" keeps its hyphen from breaking the line.
    readonly property string mobileIntro: qsTr("Chat from your phone on the same Wi\u2011Fi. Messages sync to this computer.")
    readonly property string startServer: qsTr("START SERVER")
    readonly property string stopServer: qsTr("STOP SERVER")
    readonly property string openOnPhone: qsTr("OPEN ON PHONE")
    readonly property string howItWorks: qsTr("HOW IT WORKS")
    readonly property var mobileSteps: [
        "Phone and computer on same Wi\u2011Fi",
        "Tap Start Server above",
        "Open the URL in your phone browser",
        "Chat syncs to sessions here"
    ]
    readonly property string localNetworkOnly: qsTr("Local network only — not on the public internet")

    // The model settings.
    readonly property string modelSettingsTitle: qsTr("MODEL SETTINGS")
    readonly property string modelSettingsSubtitle: qsTr("Configure AI provider")
    readonly property string mode: qsTr("MODE")
    readonly property string provider: qsTr("PROVIDER")
    readonly property var providerSymbols: ({
        "Doubao": "circle.hexagongrid.fill",
        "ChatGPT": "bubble.left.fill",
        "Gemini": "sparkles",
        "DeepSeek": "water.waves"
    })
    readonly property string apiConfiguration: qsTr("API CONFIGURATION")
    readonly property string apiKeyLabel: qsTr("API Key")
    readonly property string apiKeyPlaceholder: qsTr("Enter your API key")
    readonly property string modelLabel: qsTr("Model")
    readonly property string modelPlaceholder: qsTr("Model name")
    readonly property string modelDescription: qsTr("Type a model name, or choose one the provider offers with Up and Down")
    readonly property string refreshModels: qsTr("Ask the provider for its models")
    readonly property string refreshModelsDescription: qsTr("The models it offers become the field's choices")
    function modelNotOffered(model, provider) {
        return qsTr("%1 is not offered by %2").arg(model).arg(provider)
    }
    readonly property string baseUrlLabel: qsTr("Base URL")
    readonly property string baseUrlPlaceholder: qsTr("API base URL")
    readonly property string testConnection: qsTr("TEST CONNECTION")
    readonly property string connected: qsTr("Connected")
    readonly property string localModel: qsTr("LOCAL MODEL")
    readonly property string localModelTitle: qsTr("Qwen 2.5 — 3B via Ollama")
    readonly property string localModelRequirement: qsTr("Requires Ollama running · ollama pull qwen2.5:3b")
    readonly property string setupLocalModel: qsTr("SETUP LOCAL MODEL")
    readonly property string downloading: qsTr("DOWNLOADING...")
    readonly property string modelReady: qsTr("Model ready!")
    readonly property string loadingModel: qsTr("LOADING MODEL...")
    readonly property string howToSetUp: qsTr("HOW TO SET UP")
    readonly property var setupSteps: [
        "Install Ollama from ollama.com",
        "Click SETUP LOCAL MODEL above",
        "Switch MODE to Local Qwen"
    ]

    // The settings panel: each preference's title and the line that explains it.
    readonly property string safetySection: qsTr("SAFETY")
    readonly property string askBeforeActing: qsTr("Ask before the agent runs commands or changes files")
    readonly property string askBeforeActingExplanation: qsTr("Each command, and each file written outside ~/.nimbrook, waits for your Allow. Off, the agent acts unattended.")
    readonly property string sandboxCommands: qsTr("Run commands in a sandbox")
    readonly property string sandboxCommandsExplanation: qsTr("Commands see the system read-only, may write only in your home folder and a private /tmp, and find keys, tokens and browser profiles empty.")
    readonly property string repliesSection: qsTr("REPLIES")
    readonly property string formatReplies: qsTr("Show replies formatted")
    readonly property string formatRepliesExplanation: qsTr("The agent's headings, lists, tables, links and code are drawn as such, code with a Copy code button. Off, replies show exactly as written.")
    readonly property string streamReplies: qsTr("Show replies as they are written")
    readonly property string streamRepliesExplanation: qsTr("The reply grows as the model writes it, and \"Thinking…\" counts the seconds while it only reasons. Off, each reply shows once it is whole.")
    readonly property string conversationsSection: qsTr("CONVERSATIONS")
    readonly property string keepConversations: qsTr("Keep conversations on this computer")
    function keepConversationsExplanation(path) {
        return qsTr("Every conversation is saved as it changes, in %1, and listed again at the next start. Off, they end when the app quits.").arg(path)
    }
    function deleteStoredQuestion(count) {
        return qsTr("Delete the %1 stored conversations?").arg(count)
    }
    readonly property string deleteStored: qsTr("Delete")
    readonly property string keepTheFile: qsTr("Keep the file")
    readonly property string keptReadOnly: qsTr("These conversations were kept by a newer version of Emberglass: they are shown but not changed, and new ones are kept in memory only.")
    function keptNotDeleted(path, problem) {
        return qsTr("The stored conversations were not deleted: %1. They are still in %2.").arg(problem).arg(path)
    }
    function notAvailable(reason) {
        return qsTr("Not available: %1").arg(reason)
    }

    // The persona panel.
    readonly property var tabs: [
        { name: "soul", label: qsTr("SOUL"), symbol: "sparkles", file: "soul.md" },
        { name: "memory", label: qsTr("MEMORY"), symbol: "brain.head.profile", file: "MEMORY.md" },
        { name: "logs", label: qsTr("LOGS"), symbol: "clock", file: "memory/" }
    ]
    readonly property string unsaved: qsTr("UNSAVED")
    readonly property string saved: qsTr("SAVED")
    readonly property string save: qsTr("SAVE")
    readonly property string back: qsTr("BACK")
    readonly property string refresh: qsTr("REFRESH")
    readonly property string openFolder: qsTr("OPEN FOLDER")
    readonly property string noMemoryLogs: qsTr("No memory logs yet")
    readonly property string noMemoryLogsHint: qsTr("The AI will create daily logs and topic files\nas it learns about you.")
    readonly property string markdownExtension: qsTr(".md")
    // A save that failed; the reason is the system's own ("No space left on device").
    readonly property string saveAnyway: qsTr("SAVE ANYWAY")

    // What the persona panel warns of in a file, by the store's names for it.
    function fileIssue(file, issue) {
        if (issue === "notUtf8")
            return qsTr("%1 is not valid UTF-8: the bytes that are not show as \uFFFD, and saving replaces them.").arg(file)
        if (issue === "tooLarge")
            return qsTr("%1 is larger than 256 KiB: the agent sees only its first 256 KiB.").arg(file)
        if (issue === "changedOnDisk")
            return qsTr("%1 changed on disk while you were editing it.").arg(file)
        return ""
    }
    function confirmSave(file) {
        return qsTr("Saving replaces %1 as it is on disk now. Press SAVE ANYWAY to replace it.").arg(file)
    }

    function couldNotSave(reason) {
        return qsTr("Could not save: %1").arg(reason)
    }
}
