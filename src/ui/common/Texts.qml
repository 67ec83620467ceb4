pragma Singleton
import QtQuick

// The window's own texts, kept in one place.
QtObject {
    // Launch
    readonly property string productName: "EMBERGLASS"
    readonly property string splashSubtitle: "YOUR AI AGENT"

    // Sidebar
    readonly property string sidebarSubtitle: "AI TERMINAL"
    readonly property string sessions: "SESSIONS"
    readonly property string newButton: "+ NEW"
    readonly property string newButtonTip: "New Session"
    readonly property string deleteItem: "Delete"
    readonly property string localBackendShort: "Local"
    readonly property var panelLabels: ({
        "mobile": "MOBILE",
        "model": "MODEL",
        "persona": "PERSONA",
        "about": "ABOUT"
    })

    // Transcript
    readonly property string youLabel: "YOU"
    readonly property string agentLabel: "AI"
    readonly property string result: "RESULT"
    readonly property string charactersSuffix: "ch"
    readonly property string inputPlaceholder: "Ask anything..."
    readonly property string localUnavailable: "Local model not available"
    readonly property string cloudUnreachable: "Cannot reach API — check settings"
    function modelNotOffered(model, provider) {
        return "Model " + model + " is not offered by " + provider + " — choose one in MODEL"
    }
    readonly property string loadingModel: "LOADING MODEL"

    // Boot screen
    readonly property string bootTitle: "EMBERGLASS"
    readonly property string bootVersion: "v1.0"
    readonly property string bootSystemInit: "SYS.INIT"
    readonly property string bootNeuralLink: "NEURAL.LINK"
    readonly property string bootAwaitingInput: "AWAITING INPUT"

    // About
    readonly property string aboutHeading: "ABOUT PRODUCT"
    readonly property string aboutName: "Emberglass"
    readonly property string aboutTagline: "Industrial local-and-cloud AI workspace for computer."
    readonly property string versionLabel: "VERSION"
    readonly property string versionValue: "1.0 beta"
    readonly property string makerStatement: "Made by the Emberglass project, for people who keep their agent close."
    readonly property string makerSiteLabel: "emberglass.app"
    readonly property string makerSiteURL: "https://emberglass.app"

    // The backend names as the controller reports them.
    readonly property string localBackend: "Local Qwen"
}
