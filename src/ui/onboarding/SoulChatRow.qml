import QtQuick
import QtQuick.Layouts
import Emberglass.Theme

// One line of the soul questionnaire: the agent's on the leading side under its
// label, the user's in a bubble on the trailing side.
Item {
    id: row

    required property string role
    required property string text
    readonly property bool fromUser: role === "user"
    readonly property real maximumTextWidth: width - 60

    implicitHeight: fromUser ? bubble.height : agentLine.implicitHeight

    ColumnLayout {
        id: agentLine
        visible: !row.fromUser
        width: Math.min(implicitWidth, row.maximumTextWidth)
        spacing: 4

        Text {
            text: OnboardingTexts.agentLabel
            font.family: Theme.monoFamily
            font.pixelSize: 9
            font.bold: true
            color: Theme.textTertiary
        }
        Text {
            Layout.fillWidth: true
            Layout.maximumWidth: row.maximumTextWidth
            text: row.text
            wrapMode: Text.Wrap
            font.family: Theme.fontFamily
            font.pixelSize: 14
            color: Theme.textPrimary
        }
    }

    Rectangle {
        id: bubble
        objectName: "userBubble"
        visible: row.fromUser
        anchors.right: parent.right
        width: Math.min(userText.implicitWidth, row.maximumTextWidth - 28) + 28
        height: userText.implicitHeight + 18
        radius: 14
        color: Theme.textPrimary

        Text {
            id: userText
            x: 14
            y: 9
            width: parent.width - 28
            text: row.text
            wrapMode: Text.Wrap
            font.family: Theme.fontFamily
            font.pixelSize: 14
            color: "white"
        }
    }
}
