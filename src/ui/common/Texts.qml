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
    function couldNotSaveSettings(reason) {
        return "Could not save settings: " + reason
    }

    // Boot screen
    readonly property string bootTitle: "EMBERGLASS"
    readonly property string bootVersion: "v1.0"
    readonly property string bootSystemInit: "SYS.INIT"
    readonly property string bootNeuralLink: "NEURAL.LINK"
    readonly property string bootAwaitingInput: "AWAITING INPUT"

    // About
    readonly property string aboutHeading: "ABOUT PRODUCT"
    readonly property string aboutName: "Emberglass"
    readonly property string aboutTagline: "Industrial local-and-cloud AI workspace for Linux."
    readonly property string versionLabel: "VERSION"
    readonly property string versionValue: "1.0 beta"
    readonly property string makerStatement: "Made by the Emberglass project, for people who keep their agent close."
    readonly property string makerSiteLabel: "emberglass.app"
    readonly property string makerSiteURL: "https://emberglass.app"

    // What screen readers say of controls whose look says it without words.
    readonly property string sidebarAccessibleName: "Sessions and panels"
    readonly property string sessionsAccessibleName: "Sessions"
    readonly property string sessionsAccessibleDescription: "Arrow keys select, Delete deletes, Ctrl+N starts a new session"
    readonly property string newButtonAccessibleDescription: "Starts an empty conversation, Ctrl+N"
    readonly property string updatedPrefix: "Updated "
    readonly property string serverRunning: "server running"
    readonly property string transcriptAccessibleName: "Messages"
    // A scroll bar is read out as what it scrolls.
    function scrollBarName(scrolls) {
        return "Scroll " + scrolls
    }
    readonly property string inputAccessibleName: "Message"
    readonly property string inputAccessibleDescription: "Return sends, Shift+Return starts a new line, Ctrl+L comes back here"
    readonly property string attachAccessibleName: "Attach files"
    readonly property string attachAccessibleDescription: "Chooses files whose paths go into the message, for the agent to read"
    readonly property string attachShortcut: "Ctrl+O"
    readonly property string attachToolTip: "Attach files (Ctrl+O)"
    readonly property string attachDialogTitle: "Attach files"
    readonly property string dropHint: "Drop to add the paths to your message"
    readonly property string sendAccessibleName: "Send"
    readonly property string stopAccessibleName: "Stop"
    readonly property string sendAccessibleDescription: "Sends the message"
    readonly property string stopAccessibleDescription: "Stops the reply being written"
    readonly property string userAuthor: "You"
    readonly property string agentAuthor: "AI"
    readonly property string noteAuthor: "Note"
    readonly property string noteDescription: "Not sent to the model"
    readonly property string messageDescription: "Your message"
    readonly property string replyDescription: "Reply from the agent"
    readonly property string writingDescription: "The agent is writing"
    readonly property string toolCallName: "Tool call: "
    readonly property string toolResultName: "Result of "
    readonly property string succeeded: "succeeded"
    readonly property string failed: "failed"
    readonly property string characters: " characters"
    readonly property string expandResult: "Shows the output"
    readonly property string collapseResult: "Hides the output"
    readonly property string outputAccessibleName: "Output"
    readonly property string retry: "RETRY"
    readonly property string retryDescription: "Asks the question again"
    readonly property string openModelSettings: "OPEN MODEL SETTINGS"
    readonly property string openModelSettingsDescription: "Opens the MODEL panel, where the provider, key and model are set"
    readonly property string bootAccessibleName: "Empty conversation"
    readonly property string bootLineDone: "done"
    readonly property string bootLineWaiting: "waiting"
    readonly property string aboutLinkDescription: "Opens the web site in the browser"
    readonly property string approvalRunQuestion: "wants to run this command"
    readonly property string approvalWriteQuestion: "wants to write this file"
    readonly property string approvalCommandName: "Command: "
    readonly property string approvalPathName: "File: "
    readonly property string approvalContentName: "Content begins: "
    readonly property string approvalAllow: "Allow"
    readonly property string approvalAllowForConversation: "Allow for this conversation"
    readonly property string approvalAllowForConversationDescription:
        "Runs this tool without asking until the conversation ends"
    readonly property string approvalDeny: "Deny"
    readonly property string approvalDenyDescription: "Declines the call; Escape does too"

    function approvalAccessibleName(tool: string): string {
        return "Approval needed: " + tool
    }

    // "Soul & memory, server running, Ctrl+3": a panel button's detail. Joined by
    // hand: Qt 6.4's qmllint takes an array literal for a list without filter().
    function panelDetail(subtitle: string, number: int, state: string): string {
        const lead = subtitle.length > 0 ? subtitle + ", " : ""
        const middle = state.length > 0 ? state + ", " : ""
        return lead + middle + "Ctrl+" + number
    }
}
