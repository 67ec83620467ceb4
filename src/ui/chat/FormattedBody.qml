pragma ComponentBehavior: Bound
import QtQuick
import Emberglass.Chat
import Emberglass.Theme

// A reply drawn from its Markdown, one item per block, so that a code block
// has its own Copy code button and a growing reply redraws only its end.
// Links to web pages and mail open at once; any other asks first.
Column {
    id: body

    property string markdown
    readonly property int codeBlockCount: reply.codeBlockCount

    spacing: 8

    function openLink(link) {
        if (ReplyText.opensWithoutAsking(link)) {
            Qt.openUrlExternally(link)
        } else {
            if (!confirmation.item) {
                confirmation.setSource("LinkConfirmation.qml")
            }
            (confirmation.item as LinkConfirmation).ask(link)
        }
    }

    FormattedReply {
        id: reply
        markdown: body.markdown
        linkColor: Theme.accent
        codeBackground: Theme.surfaceAlt
        borderColor: Theme.border
        monoFamily: Theme.monoFamily
    }

    Repeater {
        objectName: "blocks"
        model: reply
        delegate: FormattedBlock {
            width: body.width
            onLinkActivated: link => body.openLink(link)
        }
    }

    // Made the first time a link needs it (from its file: Qt 6.4 cannot load
    // a bound component through a Loader).
    Loader {
        id: confirmation
        objectName: "linkConfirmation"
    }
}
