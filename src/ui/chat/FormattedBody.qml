pragma ComponentBehavior: Bound
import QtQuick
import Emberglass.Chat
import Emberglass.Theme

// A reply drawn from its Markdown, one item per block, so that a code block
// has its own Copy code button and a growing reply redraws only its end.
// Links to web pages and mail open at once; any other asks first.
Column {
    id: body

    // Given once a frame by the row (a reply streamed in small pieces is parsed
    // and laid out once for all the pieces a frame shows).
    property alias markdown: reply.markdown
    // The band the transcript draws, in the body's coordinates: the text of a
    // block outside it is laid out (the body keeps its height) but not drawn.
    property real shownTop: -Infinity
    property real shownBottom: Infinity

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
        linkColor: Theme.accent
        codeBackground: Theme.surfaceAlt
        monoFamily: Theme.monoFamily
    }

    Repeater {
        objectName: "blocks"
        model: reply
        delegate: FormattedBlock {
            width: body.width
            shown: y + height >= body.shownTop && y <= body.shownBottom
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
