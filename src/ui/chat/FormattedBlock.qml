pragma ComponentBehavior: Bound
import QtQuick
import Emberglass.Chat
import Emberglass.Theme

// One block of a formatted reply: text with its emphasis and links (a heading
// or a list item with its marker), a code block, a table or a rule, indented
// by its list and quote depth with a bar per quote level.
Item {
    id: block

    required property string kind
    required property int headingLevel
    required property int listDepth
    required property int quoteDepth
    required property string marker
    required property string richText
    required property string plainText
    required property string language

    signal linkActivated(string link)

    readonly property real indent: quoteDepth * 14 + Math.max(0, listDepth - 1) * 18
    readonly property bool isCode: kind === "code"
    readonly property bool isRule: kind === "rule"
    readonly property bool isList: kind === "listItem"
    // What a whole block's Markdown starts with when it is copied.
    readonly property string prefix: "> ".repeat(quoteDepth)
        + (kind === "heading" ? "#".repeat(headingLevel) + " "
           : isList ? (/^\d/.test(marker) ? marker + " " : "- ") : "")

    implicitHeight: isRule ? 9 : isCode ? code.implicitHeight : text.implicitHeight

    Repeater {
        model: block.quoteDepth
        Rectangle {
            required property int index
            x: index * 14
            width: 3
            height: block.height
            radius: 1.5
            color: Theme.border
        }
    }

    Rectangle {
        objectName: "rule"
        visible: block.isRule
        x: block.indent
        y: 4
        width: block.width - x
        height: 1
        color: Theme.border
    }

    Text {
        id: markerText
        objectName: "marker"
        visible: block.isList
        x: block.indent
        width: 18
        text: block.marker
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textLarge
        color: Theme.textSecondary
    }

    SelectableText {
        id: text
        objectName: "blockText"
        visible: !block.isCode && !block.isRule
        x: block.indent + (block.isList ? markerText.width : 0)
        width: Math.max(0, block.width - x)
        textFormat: TextEdit.RichText
        text: visible ? block.richText : ""
        wrapMode: TextEdit.Wrap
        font.family: Theme.fontFamily
        font.pixelSize: block.headingLevel === 1 ? Theme.textHeadline
                        : block.headingLevel === 2 ? Theme.textTitle
                        : block.headingLevel > 2 ? Theme.textLarge + 1 : Theme.textLarge
        font.bold: block.headingLevel > 0
        color: block.quoteDepth > 0 ? Theme.textSecondary : Theme.textPrimary
        onLinkActivated: link => block.linkActivated(link)
        // Ctrl+C gives the Markdown of what is selected, not the drawn text.
        Keys.onPressed: event => {
            if (event.matches(StandardKey.Copy) && selectedText.length > 0) {
                ReplyText.copy(ReplyText.selectionMarkdown(textDocument, selectionStart,
                                                           selectionEnd, block.prefix))
                event.accepted = true
            }
        }

        HoverHandler {
            cursorShape: text.hoveredLink.length > 0 ? Qt.PointingHandCursor : Qt.IBeamCursor
        }
    }

    CodeBlockView {
        id: code
        visible: block.isCode
        x: block.indent
        width: Math.max(0, block.width - x)
        code: visible ? block.plainText : ""
        language: block.language
    }
}
