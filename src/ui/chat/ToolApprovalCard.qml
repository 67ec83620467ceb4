import QtQuick
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Inspector
import Emberglass.Theme

// The call that waits for the user's approval, where its tool row will be and
// in that row's style: the tool, the whole command or the file it would write,
// and the three answers. It takes the keyboard focus when it appears, giving it
// to Allow a moment later (Tab moves between the answers, Enter presses one,
// Escape denies), and gives it back once answered.
FocusScope {
    id: card
    objectName: "approvalCard"

    readonly property ToolApproval approval: ChatViewModel.toolApproval
    readonly property bool shown: approval.isPending
                                  && approval.conversationId === ChatViewModel.currentConversationId
    readonly property bool isCommand: approval.command.length > 0
    property Item focusBefore: null
    // Keys pressed this soon after the card appears were meant for what had the
    // focus (a Space or Return typed into the next message): they answer nothing.
    property int armDelay: 800

    visible: shown
    implicitHeight: shown ? column.height + 8 : 0

    Accessible.role: Accessible.AlertMessage
    Accessible.name: Texts.approvalAccessibleName(approval.tool)
    Accessible.description: isCommand ? approval.command
                                      : approval.path
                                        + (approval.reachedPath.length > 0 ? ", " + reached.text : "")
                                        + ", " + approval.targetDescription
                                        + (approval.otherNamesNote.length > 0 ? ", " + approval.otherNamesNote : "")

    onShownChanged: {
        if (shown) {
            focusBefore = Window.activeFocusItem
            keyHolder.forceActiveFocus(Qt.OtherFocusReason)
            arming.restart()
        } else {
            arming.stop()
            if (focusBefore) {
                focusBefore.forceActiveFocus(Qt.OtherFocusReason)
                focusBefore = null
            }
        }
    }

    // Holds the keys until the answers are armed; Escape and Tab work at once.
    Item {
        id: keyHolder
    }

    Timer {
        id: arming
        interval: card.armDelay
        // As a keyboard move: the focused answer shows its ring.
        onTriggered: if (keyHolder.activeFocus) allowButton.forceActiveFocus(Qt.TabFocusReason)
    }

    Keys.onEscapePressed: approval.deny()
    // Buttons press on Space; Enter presses the one with the focus too.
    Keys.onReturnPressed: pressFocused()
    Keys.onEnterPressed: pressFocused()

    function pressFocused() {
        for (const button of [allowButton, conversationButton, denyButton]) {
            if (button.activeFocus) {
                button.clicked()
            }
        }
    }

    // The column of the transcript's rows, indented as a tool row's box.
    Rectangle {
        id: box
        width: Math.min(card.width, Theme.readingWidth) - 20 - 20 - 44
        x: Math.round((card.width - Math.min(card.width, Theme.readingWidth)) / 2) + 20 + 44
        y: 4
        height: column.height
        radius: 8
        color: Theme.surfaceAlt
        border.color: Theme.warning
        border.width: 1

        Column {
            id: column
            x: 10
            width: box.width - 20
            topPadding: 8
            bottomPadding: 10
            spacing: 8

            Row {
                spacing: 6
                ToolBadge {
                    tool: card.approval.tool
                }
                Text {
                    objectName: "approvalTool"
                    anchors.verticalCenter: parent.verticalCenter
                    text: card.approval.tool
                    textFormat: Text.PlainText
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.textSmall
                    font.bold: true
                    color: Theme.textPrimary
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: card.isCommand ? Texts.approvalRunQuestion : Texts.approvalWriteQuestion
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.textCaption
                    color: Theme.textSecondary
                }
            }

            Text {
                objectName: "approvalTarget"
                width: column.width
                text: card.isCommand ? card.approval.command : card.approval.path
                // Never as markup: a command or path that opens with a tag would
                // otherwise render, and a comment in it would hide what runs.
                textFormat: Text.PlainText
                wrapMode: Text.WrapAnywhere
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textSmall
                color: Theme.textPrimary
                Accessible.role: Accessible.StaticText
                Accessible.name: (card.isCommand ? Texts.approvalCommandName
                                                 : Texts.approvalPathName) + text
            }

            // Where a symlink, ".." or a relative path really leads.
            Text {
                id: reached
                objectName: "approvalReached"
                visible: !card.isCommand && text.length > 0
                width: column.width
                text: card.approval.reachedPath.length > 0 ? Texts.approvalWritesTo(card.approval.reachedPath) : ""
                textFormat: Text.PlainText
                wrapMode: Text.WrapAnywhere
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textSmall
                color: Theme.textPrimary
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }

            // Why a write asks when its path alone would not: the file's other names.
            Text {
                objectName: "approvalOtherNames"
                visible: !card.isCommand && text.length > 0
                width: column.width
                text: card.approval.otherNamesNote
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCaption
                color: Theme.textSecondary
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }

            Text {
                objectName: "approvalDescription"
                visible: !card.isCommand
                text: card.approval.targetDescription
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCaption
                color: Theme.textTertiary
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }

            Rectangle {
                visible: !card.isCommand && card.approval.contentStart.length > 0
                width: column.width
                height: content.height + 12
                radius: 6
                color: Theme.surface
                border.color: Theme.border
                border.width: 1
                Text {
                    id: content
                    objectName: "approvalContent"
                    x: 8
                    y: 6
                    width: parent.width - 16
                    text: card.approval.contentStart
                    textFormat: Text.PlainText
                    wrapMode: Text.WrapAnywhere
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.textCaption
                    color: Theme.textSecondary
                    Accessible.role: Accessible.StaticText
                    Accessible.name: Texts.approvalContentName + text
                }
            }

            Flow {
                width: column.width
                spacing: 8

                FilledButton {
                    id: allowButton
                    objectName: "approvalAllow"
                    text: Texts.approvalAllow
                    Accessible.name: text
                    fill: Theme.accent
                    horizontalPadding: 12
                    verticalPadding: 6
                    onClicked: card.approval.allow()
                }
                FilledButton {
                    id: conversationButton
                    objectName: "approvalAllowForConversation"
                    text: Texts.approvalAllowForConversation
                    Accessible.name: text
                    fill: Theme.surface
                    labelColor: Theme.textPrimary
                    borderColor: Theme.border
                    horizontalPadding: 12
                    verticalPadding: 6
                    Accessible.description: Texts.approvalAllowForConversationDescription
                    onClicked: card.approval.allowForConversation()
                }
                FilledButton {
                    id: denyButton
                    objectName: "approvalDeny"
                    text: Texts.approvalDeny
                    Accessible.name: text
                    fill: Theme.surface
                    labelColor: Theme.danger
                    borderColor: Theme.border
                    horizontalPadding: 12
                    verticalPadding: 6
                    Accessible.description: Texts.approvalDenyDescription
                    onClicked: card.approval.deny()
                }
            }
        }
    }
}
