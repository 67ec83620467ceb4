pragma Singleton
import QtQuick

// Every fixed text of the onboarding pages (the questionnaire's own lines come
// with the questionnaire).
QtObject {
    // Welcome.
    readonly property string productTitle: "EMBERGLASS"
    readonly property string productSubtitle: "YOUR ULTIMATE AGENT"
    readonly property var features: [
        { number: "01", symbol: "cpu", title: "LOCAL OR CLOUD AI",
          text: "Run Qwen locally, or connect Grok, ChatGPT, Gemini, DeepSeek" },
        { number: "02", symbol: "iphone", title: "MOBILE ACCESS",
          text: "Chat from your phone on the same WiFi network" },
        { number: "03", symbol: "sparkles", title: "SOUL & MEMORY",
          text: "Give your agent a unique personality that persists" }
    ]
    readonly property string getStarted: "GET STARTED"

    // Model setup.
    readonly property string connectTitle: "CONNECT YOUR AI"
    readonly property string connectSubtitle: "Choose a cloud provider or use local Qwen model"
    readonly property string apiKeyHint: "Enter your API key to continue with a cloud model, or skip for now."
    readonly property string next: "NEXT"
    readonly property string skipForNow: "SKIP FOR NOW"

    // Soul setup.
    readonly property string createTitle: "CREATE YOUR AGENT"
    readonly property string createSubtitle: "Define your AI's personality"
    readonly property string agentLabel: "Emberglass"
    readonly property string typeHere: "Type here..."
    readonly property string pasteLink: "Or paste a soul from Tidewick"
    readonly property string yourAgent: "YOUR AGENT"
    readonly property var previewRows: [
        { label: "NAME", field: "name" },
        { label: "GENDER", field: "gender" },
        { label: "AGE", field: "age" },
        { label: "SKILLS", field: "specialty" }
    ]
    readonly property string editLater: "You can always edit this later in the Persona panel."
    readonly property string enter: "ENTER EMBERGLASS"
    readonly property string pasteTitle: "PASTE YOUR SOUL"
    readonly property string pasteHint: "Paste the contents of a soul.md file from Tidewick or elsewhere."
    readonly property string back: "BACK"

    // What screen readers say of controls whose look says it without words.
    readonly property string answerName: "Your answer"
    readonly property string answerDescription: "Return sends the answer"
    readonly property string sendAnswer: "Send answer"
    readonly property string soulLogName: "Questions and answers"
    readonly property string pastedSoulName: "soul.md"
    readonly property string pastedSoulDescription: "Ctrl+Tab moves on"
    readonly property string you: "You"
}
