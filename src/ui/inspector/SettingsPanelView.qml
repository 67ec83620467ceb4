import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common

// The SETTINGS panel: the user's preferences, each a switch with a line that
// explains it, saved as it changes.
ColumnLayout {
    id: panel

    readonly property Preferences preferences: ChatViewModel.preferences

    spacing: 10

    SectionLabel {
        text: InspectorTexts.safetySection
    }

    PreferenceSwitch {
        objectName: "askBeforeActingSwitch"
        Layout.fillWidth: true
        text: InspectorTexts.askBeforeActing
        explanation: InspectorTexts.askBeforeActingExplanation
        on: panel.preferences.askBeforeActing
        onChangeRequested: wanted => panel.preferences.askBeforeActing = wanted
    }

    PreferenceSwitch {
        objectName: "sandboxSwitch"
        Layout.fillWidth: true
        text: InspectorTexts.sandboxCommands
        explanation: InspectorTexts.sandboxCommandsExplanation
        note: panel.preferences.sandboxUnavailableReason.length > 0
              ? InspectorTexts.notAvailable(panel.preferences.sandboxUnavailableReason) : ""
        enabled: note.length === 0
        on: panel.preferences.sandboxCommands
        onChangeRequested: wanted => panel.preferences.sandboxCommands = wanted
    }

    SectionLabel {
        text: InspectorTexts.repliesSection
    }

    PreferenceSwitch {
        objectName: "formatRepliesSwitch"
        Layout.fillWidth: true
        text: InspectorTexts.formatReplies
        explanation: InspectorTexts.formatRepliesExplanation
        on: panel.preferences.formatReplies
        onChangeRequested: wanted => panel.preferences.formatReplies = wanted
    }

    ErrorLine {
        objectName: "settingsSaveError"
        text: ChatViewModel.settingsSaveError.length > 0
              ? Texts.couldNotSaveSettings(ChatViewModel.settingsSaveError) : ""
    }
}
