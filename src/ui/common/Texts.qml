pragma Singleton
import QtQuick

// The window's own texts, kept in one place.
QtObject {
    // Launch
    readonly property string productName: qsTr("EMBERGLASS")
    readonly property string splashSubtitle: qsTr("YOUR AI AGENT")

    // Sidebar
    readonly property string sidebarSubtitle: qsTr("AI TERMINAL")
    readonly property string sessions: qsTr("SESSIONS")
    readonly property string newButton: qsTr("+ NEW")
    readonly property string newButtonTip: qsTr("New Session")
    readonly property string deleteItem: qsTr("Delete")
    readonly property string localBackendShort: qsTr("Local")
    readonly property string renameItem: qsTr("Rename")
    readonly property string exportItem: qsTr("Export as Markdown…")
    readonly property string searchPlaceholder: qsTr("Search")
    readonly property string searchAccessibleName: qsTr("Search conversations")
    readonly property string searchAccessibleDescription: qsTr("Filters the sessions by title and message text, Ctrl+F; Escape clears")
    readonly property string noMatches: qsTr("No conversation matches")
    readonly property string undo: qsTr("Undo")
    readonly property string undoDescription: qsTr("Brings the conversation back, Ctrl+Z")
    function deletedNotice(title) {
        return qsTr("Deleted \u201c%1\u201d \u2014").arg(title)
    }
    readonly property string exportDialogTitle: qsTr("Export as Markdown")
    readonly property string markdownFiles: qsTr("Markdown (*.md)")
    function exportedTo(path) {
        return qsTr("Exported to %1").arg(path)
    }
    function couldNotExport(reason) {
        return qsTr("Could not export: %1").arg(reason)
    }
    readonly property string renameFieldName: qsTr("Conversation title")
    readonly property string renameFieldDescription: qsTr("Return keeps the new title, Escape keeps the old one")

    // Transcript
    readonly property string youLabel: qsTr("YOU")
    readonly property string agentLabel: qsTr("AI")
    readonly property string result: qsTr("RESULT")
    readonly property string charactersSuffix: qsTr("ch")
    readonly property string inputPlaceholder: qsTr("Ask anything...")
    readonly property string localUnavailable: qsTr("Local model not available")
    readonly property string cloudUnreachable: qsTr("Cannot reach API — check settings")
    function modelNotOffered(model, provider) {
        return qsTr("Model %1 is not offered by %2 — choose one in MODEL").arg(model).arg(provider)
    }
    readonly property string loadingModel: qsTr("LOADING MODEL")
    function couldNotSaveSettings(reason) {
        return qsTr("Could not save settings: %1").arg(reason)
    }
    function keptUnusable(path, problem) {
        return qsTr("Could not use %1: %2. Nothing in it was changed or deleted; conversations are kept in memory only.").arg(path).arg(problem)
    }

    // Boot screen
    readonly property string bootTitle: qsTr("EMBERGLASS")
    readonly property string bootVersion: qsTr("v1.0")
    readonly property string bootSystemInit: qsTr("SYS.INIT")
    readonly property string bootNeuralLink: qsTr("NEURAL.LINK")
    readonly property string bootAwaitingInput: qsTr("AWAITING INPUT")

    // About
    readonly property string aboutHeading: qsTr("ABOUT PRODUCT")
    readonly property string aboutName: qsTr("Emberglass")
    readonly property string aboutTagline: qsTr("Industrial local-and-cloud AI workspace for Linux.")
    readonly property string versionLabel: qsTr("VERSION")
    readonly property string versionValue: qsTr("1.0 beta")
    readonly property string makerStatement: qsTr("Made by the Emberglass project, for people who keep their agent close.")
    readonly property string makerSiteLabel: qsTr("emberglass.app")
    readonly property string makerSiteURL: qsTr("https://emberglass.app")

    // What screen readers say of controls whose look says it without words.
    readonly property string sidebarAccessibleName: qsTr("Sessions and panels")
    readonly property string sessionsAccessibleName: qsTr("Sessions")
    readonly property string sessionsAccessibleDescription: qsTr("Arrow keys select, F2 renames, Delete deletes, Ctrl+N starts a new session")
    readonly property string newButtonAccessibleDescription: qsTr("Starts an empty conversation, Ctrl+N")
    readonly property string updatedPrefix: qsTr("Updated ")
    readonly property string serverRunning: qsTr("server running")
    readonly property string transcriptAccessibleName: qsTr("Messages")

    // A scroll bar is read out as what it scrolls.
    function scrollBarName(scrolls) {
        return qsTr("Scroll %1").arg(scrolls)
    }
    readonly property string inputAccessibleName: qsTr("Message")
    readonly property string inputAccessibleDescription: qsTr("Return sends, Shift+Return starts a new line, Ctrl+L comes back here")
    readonly property string attachAccessibleName: qsTr("Attach files")
    readonly property string attachAccessibleDescription: qsTr("Chooses files whose paths go into the message, for the agent to read")
    readonly property string attachShortcut: qsTr("Ctrl+O")
    readonly property string attachToolTip: qsTr("Attach files (Ctrl+O)")
    readonly property string attachDialogTitle: qsTr("Attach files")
    readonly property string dropHint: qsTr("Drop to add the paths to your message")
    readonly property string sendAccessibleName: qsTr("Send")
    readonly property string stopAccessibleName: qsTr("Stop")
    readonly property string sendAccessibleDescription: qsTr("Sends the message")
    readonly property string stopAccessibleDescription: qsTr("Stops the reply being written")
    readonly property string userAuthor: qsTr("You")
    readonly property string agentAuthor: qsTr("AI")
    readonly property string noteAuthor: qsTr("Note")
    readonly property string noteDescription: qsTr("Not sent to the model")
    readonly property string messageDescription: qsTr("Your message")
    readonly property string replyDescription: qsTr("Reply from the agent")
    readonly property string writingDescription: qsTr("The agent is writing")
    // While a reply shown as it is written has had only the model's reasoning.
    function thinkingFor(seconds) {
        return qsTr("Thinking… %1 s").arg(seconds)
    }
    readonly property string toolCallName: qsTr("Tool call: ")
    readonly property string toolResultName: qsTr("Result of ")
    readonly property string succeeded: qsTr("succeeded")
    readonly property string failed: qsTr("failed")
    readonly property string characters: qsTr(" characters")
    readonly property string expandResult: qsTr("Shows the output")
    readonly property string collapseResult: qsTr("Hides the output")
    readonly property string outputAccessibleName: qsTr("Output")
    readonly property string retry: qsTr("RETRY")
    readonly property string retryDescription: qsTr("Asks the question again")
    readonly property string openModelSettings: qsTr("OPEN MODEL SETTINGS")
    readonly property string openModelSettingsDescription: qsTr("Opens the MODEL panel, where the provider, key and model are set")
    readonly property string bootAccessibleName: qsTr("Empty conversation")
    readonly property string bootLineDone: qsTr("done")
    readonly property string bootLineWaiting: qsTr("waiting")
    readonly property string aboutLinkDescription: qsTr("Opens the web site in the browser")
    readonly property string approvalRunQuestion: qsTr("wants to run this command")
    readonly property string approvalWriteQuestion: qsTr("wants to write this file")
    readonly property string approvalCommandName: qsTr("Command: ")
    readonly property string approvalPathName: qsTr("File: ")
    function approvalWritesTo(path: string): string {
        return qsTr("Writes to: %1").arg(path)
    }
    readonly property string approvalContentName: qsTr("Content begins: ")
    readonly property string approvalAllow: qsTr("Allow")
    readonly property string approvalAllowForConversation: qsTr("Allow for this conversation")
    readonly property string approvalAllowForConversationDescription:
        qsTr("Runs this tool without asking until the conversation ends")
    readonly property string approvalDeny: qsTr("Deny")
    readonly property string approvalDenyDescription: qsTr("Declines the call; Escape does too")

    function approvalAccessibleName(tool: string): string {
        return qsTr("Approval needed: %1").arg(tool)
    }

    // "Soul & memory, server running, Ctrl+3": a panel button's detail. Joined by
    // hand: Qt 6.4's qmllint takes an array literal for a list without filter().
    function panelDetail(subtitle: string, number: int, state: string): string {
        const lead = subtitle.length > 0 ? subtitle + ", " : ""
        const middle = state.length > 0 ? state + ", " : ""
        return lead + middle + "Ctrl+" + number
    }

    // Formatted replies: the code blocks' button and the question before a link
    // that is neither a web page nor a mail address opens.
    readonly property string copyCode: qsTr("Copy code")
    readonly property string codeCopied: qsTr("Copied")
    readonly property string codeBlockName: qsTr("Code")
    readonly property string openLinkTitle: qsTr("Open this link?")
    readonly property string openLinkExplanation: qsTr("It is not a web page: it may open a file or start a program.")
    readonly property string openLink: qsTr("Open")
    readonly property string cancel: qsTr("Cancel")

    // The actions on a message: its buttons, its context menu and their keys.
    readonly property string copyMessage: qsTr("Copy message")
    readonly property string copyMessageShortcut: qsTr("Ctrl+C")
    readonly property string editAndResend: qsTr("Edit and resend")
    readonly property string editAndResendShortcut: qsTr("Ctrl+E")
    readonly property string regenerate: qsTr("Regenerate")
    readonly property string regenerateShortcut: qsTr("Ctrl+R")
    readonly property string messageActionsName: qsTr("Message actions")
}
