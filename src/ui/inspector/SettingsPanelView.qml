import QtQuick
import QtQuick.Layouts
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// The SETTINGS panel: the user's preferences, each a switch with a line that
// explains it, saved as it changes.
ColumnLayout {
    id: panel

    readonly property Preferences preferences: ChatViewModel.preferences
    readonly property ConversationKeeper keeper: ChatViewModel.keptConversations
    // Turning keeping off asks first what becomes of what is stored.
    property bool askingToDelete: false

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

    PreferenceSwitch {
        objectName: "streamRepliesSwitch"
        Layout.fillWidth: true
        text: InspectorTexts.streamReplies
        explanation: InspectorTexts.streamRepliesExplanation
        on: panel.preferences.streamReplies
        onChangeRequested: wanted => panel.preferences.streamReplies = wanted
    }

    SectionLabel {
        text: InspectorTexts.conversationsSection
    }

    PreferenceSwitch {
        id: keepSwitch
        objectName: "keepConversationsSwitch"
        Layout.fillWidth: true
        text: InspectorTexts.keepConversations
        explanation: InspectorTexts.keepConversationsExplanation(panel.keeper.databasePath)
        note: panel.keeper.state === KeptConversationsState.Value.failed
              ? Texts.keptUnusable(panel.keeper.databasePath, panel.keeper.problem)
              : panel.keeper.state === KeptConversationsState.Value.readOnly ? InspectorTexts.keptReadOnly
              : panel.keeper.deleteProblem.length > 0
                ? InspectorTexts.keptNotDeleted(panel.keeper.databasePath, panel.keeper.deleteProblem) : ""
        on: panel.preferences.keepConversations
        onChangeRequested: wanted => {
            if (wanted) {
                panel.preferences.keepConversations = true
            } else if (panel.keeper.state === KeptConversationsState.Value.keeping
                       && panel.keeper.storedCount > 0) {
                panel.askingToDelete = true
                keepTheFile.forceActiveFocus(Qt.TabFocusReason)
            } else {
                panel.keeper.turnOff(false) // nothing of ours to delete
            }
        }
    }

    Rectangle {
        objectName: "deleteStoredQuestion"
        Layout.fillWidth: true
        visible: panel.askingToDelete
        implicitHeight: question.implicitHeight + 28
        radius: 10
        color: Theme.tint(Theme.danger, 0.06)
        border.width: 1
        border.color: Theme.tint(Theme.danger, 0.3)
        Accessible.role: Accessible.AlertMessage
        Accessible.name: questionText.text

        ColumnLayout {
            id: question
            anchors.fill: parent
            anchors.margins: 14
            spacing: 10

            Text {
                id: questionText
                Layout.fillWidth: true
                text: InspectorTexts.deleteStoredQuestion(panel.keeper.storedCount)
                wrapMode: Text.Wrap
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textBody
                font.weight: Font.DemiBold
                color: Theme.textPrimary
            }
            RowLayout {
                spacing: 8
                FilledButton {
                    objectName: "deleteStoredButton"
                    text: InspectorTexts.deleteStored
                    Accessible.name: text
                    fill: Theme.danger
                    onClicked: {
                        panel.askingToDelete = false
                        panel.keeper.turnOff(true)
                    }
                    Keys.onEscapePressed: panel.askingToDelete = false
                }
                FilledButton {
                    id: keepTheFile
                    objectName: "keepTheFileButton"
                    text: InspectorTexts.keepTheFile
                    Accessible.name: text
                    onClicked: {
                        panel.askingToDelete = false
                        panel.keeper.turnOff(false)
                    }
                    Keys.onEscapePressed: panel.askingToDelete = false
                }
            }
        }
    }

    ErrorLine {
        objectName: "settingsSaveError"
        text: ChatViewModel.settingsSaveError.length > 0
              ? Texts.couldNotSaveSettings(ChatViewModel.settingsSaveError) : ""
    }
}
