pragma Singleton
import QtQuick

// Every fixed text of the onboarding pages (the questionnaire's own lines come
// with the questionnaire).
QtObject {
    // Welcome.
    readonly property string productTitle: qsTr("EMBERGLASS")
    readonly property string productSubtitle: qsTr("YOUR ULTIMATE AGENT")
    readonly property var features: [
        { number: "01", symbol: "cpu", title: "LOCAL OR CLOUD AI",
          text: "Run Qwen locally, or connect Grok, ChatGPT, Gemini, DeepSeek" },
        { number: "02", symbol: "iphone", title: "MOBILE ACCESS",
          text: "Chat from your phone on the same WiFi network" },
        { number: "03", symbol: "sparkles", title: "SOUL & MEMORY",
          text: "Give your agent a unique personality that persists" }
    ]
    readonly property string getStarted: qsTr("GET STARTED")

    // Model setup.
    readonly property string connectTitle: qsTr("CONNECT YOUR AI")
    readonly property string connectSubtitle: qsTr("Choose a cloud provider or use local Qwen model")
    readonly property string apiKeyHint: qsTr("Enter your API key to continue with a cloud model, or skip for now.")
    readonly property string next: qsTr("NEXT")
    readonly property string skipForNow: qsTr("SKIP FOR NOW")

    // Soul setup.
    readonly property string createTitle: qsTr("CREATE YOUR AGENT")
    readonly property string createSubtitle: qsTr("Define your AI's personality")
    readonly property string agentLabel: qsTr("Emberglass")
    readonly property string typeHere: qsTr("Type here...")
    readonly property string pasteLink: qsTr("Or paste a soul from Tidewick")
    readonly property string yourAgent: qsTr("YOUR AGENT")
    readonly property var previewRows: [
        { label: "NAME", field: "name" },
        { label: "GENDER", field: "gender" },
        { label: "AGE", field: "age" },
        { label: "SKILLS", field: "specialty" }
    ]
    readonly property string editLater: qsTr("You can always edit this later in the Persona panel.")
    readonly property string enter: qsTr("ENTER EMBERGLASS")
    readonly property string pasteTitle: qsTr("PASTE YOUR SOUL")
    readonly property string pasteHint: qsTr("Paste the contents of a soul.md file from Tidewick or elsewhere.")
    readonly property string back: qsTr("BACK")

    // What screen readers say of controls whose look says it without words.
    readonly property string answerName: qsTr("Your answer")
    readonly property string answerDescription: qsTr("Return sends the answer")
    readonly property string sendAnswer: qsTr("Send answer")
    readonly property string soulLogName: qsTr("Questions and answers")
    readonly property string pastedSoulName: qsTr("soul.md")
    readonly property string pastedSoulDescription: qsTr("Ctrl+Tab moves on")
    readonly property string you: qsTr("You")
}
