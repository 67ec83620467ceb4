import QtQuick
import Emberglass.Backend
import Emberglass.Chat
import Emberglass.Common
import Emberglass.Theme

// A message of the user or the agent: avatar, "YOU"/"AI" header with its rule,
// and the text exactly as written (nothing is interpreted as markup).
Item {
    id: row

    property int role: Role.Value.user
    property string content
    property bool isStreaming: false
    // A failed reply's fix ("retry" or "settings"): its error shows in a row
    // with the button that mends it, not as the agent's words.
    property string failure
    readonly property bool failed: failure.length > 0
    // The band the transcript draws, in this row's coordinates.
    property real shownTop: -Infinity
    property real shownBottom: Infinity

    signal fixRequested()
    readonly property bool isUser: role === Role.Value.user
    readonly property bool isAssistant: role === Role.Value.assistant
    readonly property bool isHovering: hover.hovered
    readonly property bool showsWaveform: content.length === 0 && isStreaming
    // A reply shown as it is written that has had only the model's reasoning so far.
    readonly property bool showsThinking: showsWaveform && ChatViewModel.replyThinkingSince > 0
    // The agent's replies drawn from their Markdown when the user asked for it.
    readonly property bool formatted: isAssistant && !failed
                                      && ChatViewModel.preferences.formatReplies
    readonly property color bubbleColor: isAssistant ? Theme.background
        : isHovering ? Theme.tint(Theme.background, 0.5)
        : "transparent"

    function resetViewState() {
        body.deselect()
    }

    implicitHeight: bubble.height + 4

    Rectangle {
        id: bubble
        objectName: "bubble"
        x: 8
        y: 2
        width: row.width - 16
        height: Math.max(avatar.height, column.height) + 24
        radius: 14
        color: row.bubbleColor

        HoverHandler {
            id: hover
        }

        Rectangle {
            objectName: "accentStripe"
            visible: row.isAssistant
            x: 10
            y: 6
            width: 3
            height: parent.height - 12
            radius: 1.5
            color: Theme.accent
        }

        Item {
            id: avatar
            x: 20
            y: 12
            width: 30
            height: 30

            Rectangle {
                objectName: "userAvatar"
                anchors.fill: parent
                visible: row.isUser
                radius: 8
                color: Theme.surfaceAlt
                Icon {
                    anchors.centerIn: parent
                    name: "person.fill"
                    size: 12
                    color: Theme.textSecondary
                }
            }

            Loader {
                objectName: "agentAvatar"
                active: !row.isUser
                sourceComponent: AppIconArtwork {
                    size: 30
                    cornerRadius: 8
                }
            }
        }

        Column {
            id: column
            x: avatar.x + avatar.width + 12
            y: 12
            // 20 of padding and a gap of at least 40 on the trailing side.
            width: Math.max(0, bubble.width - x - 20 - 40)
            spacing: 5

            Item {
                width: parent.width
                height: roleLabel.height

                Text {
                    id: roleLabel
                    objectName: "roleLabel"
                    text: row.isUser ? Texts.youLabel : Texts.agentLabel
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.textCaption
                    font.bold: true
                    font.letterSpacing: 1
                    color: row.isUser ? Theme.textSecondary : Theme.accent
                }

                Rectangle {
                    x: roleLabel.width + 6
                    anchors.verticalCenter: roleLabel.verticalCenter
                    width: Math.max(0, parent.width - x)
                    height: 1
                    color: Theme.border
                }
            }

            Loader {
                objectName: "waveformLoader"
                active: row.showsWaveform && !row.showsThinking
                visible: active
                height: active ? 16 : 0
                sourceComponent: WaveformIndicator {}
            }

            Loader {
                objectName: "thinkingLoader"
                active: row.showsThinking
                visible: active
                sourceComponent: ThinkingLine {
                    since: ChatViewModel.replyThinkingSince
                }
            }

            SelectableText {
                id: body
                objectName: "messageText"
                visible: !row.showsWaveform && !row.failed && !row.formatted
                width: parent.width
                // The spacing is added under every line, the last one too.
                height: visible ? Math.max(0, implicitHeight - lineSpacing.spacing) : 0
                // A formatted reply draws its own text: this one is not laid out.
                text: visible ? row.content : ""
                surface: Qt.tint(Theme.surface, row.bubbleColor)
                wrapMode: TextEdit.Wrap
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textLarge
                Accessible.name: row.isUser ? Texts.userAuthor : Texts.agentAuthor
            }

            // Qt 6.4 cannot load a bound component through a Loader: it reaches the row by id.
            // qmllint disable unqualified
            Loader {
                id: formattedLoader
                objectName: "formattedLoader"
                active: row.formatted && !row.showsWaveform
                visible: active
                width: parent.width
                sourceComponent: FormattedBody {
                    markdown: row.content
                    shownTop: row.shownTop - bubble.y - column.y - formattedLoader.y
                    shownBottom: row.shownBottom - bubble.y - column.y - formattedLoader.y
                }
            }

            Loader {
                objectName: "errorRowLoader"
                active: row.failed
                visible: active
                width: parent.width
                sourceComponent: ReplyErrorRow {
                    text: row.content
                    failure: row.failure
                    onFixRequested: row.fixRequested()
                }
            }
            // qmllint enable unqualified

            TextLineSpacing {
                id: lineSpacing
                target: body
                spacing: 5
            }
        }
    }
}
