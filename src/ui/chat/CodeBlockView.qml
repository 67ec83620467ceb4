import QtQuick
import QtQuick.Controls.Basic
import Emberglass.Chat
import Emberglass.Common
import Emberglass.Theme

// A code block of a formatted reply: the code in the monospaced font on
// `surfaceAlt`, as written (never wrapped, scrolled sideways when wide), with
// its language and a Copy code button.
Rectangle {
    id: view

    property string code
    property string language
    // Off while the block is out of the transcript's view: the code keeps its
    // place but is not drawn (unless it has the focus).
    property bool codeShown: true

    // A block that grows (a reply being streamed) has only its new end added:
    // the text view then lays out and rebuilds the drawing of the new lines
    // only, not of the whole block on every frame. Any other change replaces it.
    function showCode() {
        const shown = codeText.text
        if (code.length > shown.length && code.startsWith(shown)) {
            codeText.insert(codeText.length, code.slice(shown.length))
        } else if (code !== shown) {
            codeText.text = code
        }
    }

    onCodeChanged: showCode()
    Component.onCompleted: showCode()

    implicitHeight: visible ? header.height + scroller.height + 8 : 0
    radius: 8
    color: Theme.surfaceAlt
    border.width: 1
    border.color: Theme.border

    Item {
        id: header
        width: parent.width
        height: 28

        Text {
            x: 10
            anchors.verticalCenter: parent.verticalCenter
            text: view.language
            textFormat: Text.PlainText
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textCaption
            color: Theme.textTertiary
        }

        AbstractButton {
            id: copyButton
            objectName: "copyCodeButton"
            property bool copied: false
            anchors.right: parent.right
            anchors.rightMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            padding: 4
            horizontalPadding: 8
            focusPolicy: Qt.StrongFocus
            Accessible.role: Accessible.Button
            Accessible.name: Texts.copyCode
            Accessible.onPressAction: clicked()
            contentItem: Text {
                text: copyButton.copied ? Texts.codeCopied : Texts.copyCode
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textSmall
                font.weight: Font.DemiBold
                color: copyButton.hovered ? Theme.accent : Theme.textSecondary
            }
            background: Rectangle {
                radius: 6
                color: copyButton.down ? Theme.tint(Theme.accent, 0.15) : "transparent"
                FocusRing {
                    radius: 8
                    shown: copyButton.visualFocus
                }
            }
            onClicked: {
                ReplyText.copy(view.code)
                copied = true
            }
            Keys.onReturnPressed: clicked()
            Keys.onEnterPressed: clicked()
        }
    }

    // Out of view the code leaves the scene rather than only hiding: a hidden
    // item keeps its nodes, which the software renderer walks on every frame.
    Flickable {
        id: scroller
        readonly property bool isDrawn: view.codeShown || codeText.activeFocus
        parent: isDrawn ? view : null
        visible: isDrawn
        x: 1
        y: header.height
        width: view.width - 2
        height: codeText.implicitHeight
        contentWidth: codeText.implicitWidth + 20
        flickableDirection: Flickable.HorizontalFlick
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.horizontal: ScrollBar {
            policy: scroller.contentWidth > scroller.width ? ScrollBar.AsNeeded : ScrollBar.AlwaysOff
        }

        SelectableText {
            id: codeText
            objectName: "codeText"
            x: 10
            font.family: Theme.monoFamily
            font.pixelSize: Theme.textFootnote + 1
            Accessible.name: Texts.codeBlockName
        }
    }
}
