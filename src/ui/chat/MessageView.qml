import QtQuick
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Common
import Emberglass.Theme

// One transcript row. Tool records and bubbles are different rows, so each
// role loads only the pieces it draws. What it draws reads the message's text
// as shown (`shownContent`): a streamed reply grows once a frame.
TranscriptRow {
    id: message

    required property int index
    required property string messageId
    required property int role
    required content
    required property var toolCall
    required property var toolResult
    // A line under a reply: a memory tag that could not be saved.
    required property string notice
    required property string failure
    required property bool isToolPass
    // The last message while its reply is being generated.
    property bool isStreaming: false
    // The band of this row the transcript draws, in the row's coordinates: a
    // long formatted reply lays out all its blocks but draws only those in it.
    property real shownTop: -Infinity
    property real shownBottom: Infinity

    // Copy message on the user's and the agent's messages; Edit and resend on
    // the last question, Regenerate on the last reply, while nothing is written.
    readonly property bool hasActions: !toolCall && !toolResult
                                       && (role === Role.Value.user || role === Role.Value.assistant)
    readonly property bool canEdit: role === Role.Value.user && !ChatViewModel.isGenerating
                                    && messageId === ChatViewModel.messageActions.lastQuestionId
    readonly property bool canRegenerate: role === Role.Value.assistant && !ChatViewModel.isGenerating
                                          && messageId === ChatViewModel.messageActions.lastReplyId

    function copyMessage() {
        ReplyText.copy(content)
    }
    function editMessage() {
        if (canEdit) {
            ChatViewModel.editAndResend(messageId)
        }
    }
    function regenerateReply() {
        if (canRegenerate) {
            ChatViewModel.regenerate(messageId)
        }
    }
    function openMenu(x, y) {
        menuLoader.active = true
        const menu = menuLoader.item as MessageMenu
        menu.popup(message, x, y)
    }

    Keys.onPressed: event => {
        if (!hasActions) {
            return
        }
        const ctrl = (event.modifiers & Qt.ControlModifier) !== 0
        if (event.key === Qt.Key_Menu || (event.key === Qt.Key_F10 && (event.modifiers & Qt.ShiftModifier))) {
            openMenu(loader.x + 40, 24)
        } else if (event.matches(StandardKey.Copy)) {
            copyMessage()
        } else if (ctrl && event.key === Qt.Key_E && canEdit) {
            editMessage()
        } else if (ctrl && event.key === Qt.Key_R && canRegenerate) {
            regenerateReply()
        } else {
            return
        }
        event.accepted = true
    }

    HoverHandler {
        id: rowHover
    }

    TapHandler {
        acceptedButtons: Qt.RightButton
        enabled: message.hasActions
        onTapped: eventPoint => message.openMenu(eventPoint.position.x, eventPoint.position.y)
    }

    implicitHeight: ((loader.item as Item)?.implicitHeight ?? 0)
                    + (noticeLine.visible ? noticeLine.implicitHeight + 4 : 0)
    height: implicitHeight

    // Opens or closes the tool result this row shows; false when it shows none.
    function toggleResult() {
        return (loader.item as ToolRecordRow)?.toggleResult() ?? false
    }

    // Read by a screen reader as one item: who wrote what; for a tool record,
    // the tool and its arguments, or whether it succeeded and how long it is.
    Accessible.role: Accessible.ListItem
    Accessible.name: spokenName.joined
    PrefixedText {
        id: spokenName
        prefix: {
            if (message.toolCall) {
                return Texts.toolCallName + message.toolCall.tool
            }
            if (message.toolResult) {
                return Texts.toolResultName + message.toolResult.tool + ": "
                    + (message.toolResult.success ? Texts.succeeded : Texts.failed)
            }
            const author = message.role === Role.Value.system ? Texts.noteAuthor
                         : message.role === Role.Value.user ? Texts.userAuthor : Texts.agentAuthor
            return author + ": "
        }
        text: message.shownContent
        textShown: !message.toolCall && !message.toolResult
    }
    Accessible.description: {
        if (toolCall) {
            return toolCall.summary
        }
        if (toolResult) {
            return toolResult.output.length + Texts.characters
        }
        if (role === Role.Value.user) {
            return Texts.messageDescription
        }
        if (role === Role.Value.system) {
            return Texts.noteDescription
        }
        const described = isStreaming ? Texts.writingDescription : Texts.replyDescription
        return notice.length > 0 ? described + ". " + notice : described
    }

    // A row the list keeps spare for reuse is hidden, but a hidden item keeps
    // its nodes, which the software renderer walks on every frame: the row's
    // content leaves the scene until the row is reused.
    property bool isPooled: false

    // A column of comfortable reading width, centred on a wide window.
    Loader {
        id: loader
        parent: message.isPooled ? null : message
        width: Math.min(message.width, Theme.readingWidth)
        x: Math.round((message.width - width) / 2)
        sourceComponent: message.role === Role.Value.tool ? toolRow
                         : message.role === Role.Value.system ? noteRow
                         : message.isToolPass ? toolPassLine : bubbleRow
    }

    // The transcript's keyboard focus is on this message.
    FocusRing {
        objectName: "messageFocusRing"
        anchors.fill: loader
        anchors.margins: 2
        shown: message.activeFocus
    }

    // The buttons, shown while the pointer is on the message or it has the focus.
    Loader {
        objectName: "actionsBarLoader"
        active: message.hasActions && (rowHover.hovered || message.activeFocus)
        z: 2
        x: loader.x + loader.width - width - 20
        y: 4
        sourceComponent: actionsBar
    }

    Loader {
        id: menuLoader
        objectName: "messageMenuLoader"
        active: false
        sourceComponent: messageMenu
    }

    Text {
        id: noticeLine
        objectName: "replyNotice"
        visible: message.notice.length > 0
        y: ((loader.item as Item)?.implicitHeight ?? 0) + 4
        x: loader.x + 12
        width: loader.width - 24
        text: message.notice
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        font.pixelSize: Theme.textFootnote
        color: Theme.danger
    }

    // Qt 6.4 cannot load a bound component through a Loader, so these components
    // are not bound and reach the message by id.
    // qmllint disable unqualified
    Component {
        id: toolRow
        ToolRecordRow {
            call: message.toolCall
            result: message.toolResult
        }
    }

    Component {
        id: noteRow
        NoteRow {
            content: message.shownContent
        }
    }

    Component {
        id: bubbleRow
        BubbleRow {
            role: message.role
            content: message.shownContent
            isStreaming: message.isStreaming
            failure: message.failure
            shownTop: message.shownTop - loader.y
            shownBottom: message.shownBottom - loader.y
            onFixRequested: {
                if (message.failure === "retry") {
                    ChatViewModel.retryReply(message.messageId)
                } else {
                    ChatViewModel.inspectorPanel = InspectorSidebarPanel.Value.model
                }
            }
        }
    }

    Component {
        id: actionsBar
        MessageActionsBar {
            canEdit: message.canEdit
            canRegenerate: message.canRegenerate
            onCopyRequested: message.copyMessage()
            onEditRequested: message.editMessage()
            onRegenerateRequested: message.regenerateReply()
        }
    }

    Component {
        id: messageMenu
        MessageMenu {
            canEdit: message.canEdit
            canRegenerate: message.canRegenerate
            onCopyRequested: message.copyMessage()
            onEditRequested: message.editMessage()
            onRegenerateRequested: message.regenerateReply()
        }
    }

    Component {
        id: toolPassLine
        ToolPassLine {
            text: message.shownContent
        }
    }
    // qmllint enable unqualified

    // A row that scrolls back into view starts afresh: collapsed, not hovered.
    ListView.onPooled: isPooled = true
    ListView.onReused: {
        isPooled = false
        // Both kinds of row have it; the Loader's item is only known as an object.
        loader.item?.resetViewState() // qmllint disable
    }
}
