import QtQuick
import Emberglass.Backend
import Emberglass.Theme

// One line of the soul questionnaire: the agent's on the leading side under its
// label, the user's in a bubble on the trailing side. Each keeps 60 points free
// on the side opposite its own.
Item {
    id: row

    required property int role
    required property string text
    readonly property bool fromUser: role === SoulQuestionnaire.Speaker.user
    readonly property real maximumTextWidth: Math.max(0, width - 60)

    implicitHeight: fromUser ? bubble.height : agentLine.implicitHeight

    Accessible.role: Accessible.ListItem
    Accessible.name: (fromUser ? OnboardingTexts.you : OnboardingTexts.agentLabel) + ": " + text

    Column {
        id: agentLine
        visible: !row.fromUser
        width: row.maximumTextWidth
        spacing: 4

        Text {
            text: OnboardingTexts.agentLabel
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textCaption
            font.bold: true
            color: Theme.textTertiary
        }
        Text {
            width: parent.width
            text: row.text
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textLarge
            color: Theme.textPrimary
        }
    }

    Rectangle {
        id: bubble
        objectName: "userBubble"
        visible: row.fromUser
        anchors.right: parent.right
        width: Math.min(Math.ceil(measure.advanceWidth), row.maximumTextWidth - 28) + 28
        height: userText.implicitHeight + 18
        radius: 14
        color: Theme.textPrimary

        // The text's one-line width, to size the bubble before wrapping.
        TextMetrics {
            id: measure
            font: userText.font
            text: row.text
        }
        Text {
            id: userText
            x: 14
            y: 9
            width: parent.width - 28
            text: row.text
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.family: Theme.fontFamily
            font.pixelSize: Theme.textLarge
            color: Theme.onFill
        }
    }
}
