import QtQuick
import Emberglass.Chat
import Emberglass.Theme

// One block of a formatted reply: text with its emphasis and links (a heading
// or a list item with its marker), a code block, a table or a rule, indented
// by its list and quote depth with a bar per quote level. Each block makes
// only the items its kind draws: a reply of many paragraphs makes no code
// views, and a code block no rich text.
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

    // Whether the block is in the band the transcript draws; a block out of
    // it keeps its height and its Copy code button, and draws no text unless
    // that text has the focus (a selection being copied).
    property bool shown: true

    signal linkActivated(string link)

    readonly property real indent: quoteDepth * 14 + Math.max(0, listDepth - 1) * 18
    readonly property bool isCode: kind === "code"
    readonly property bool isRule: kind === "rule"
    readonly property bool isList: kind === "listItem"
    // What a whole block's Markdown starts with when it is copied.
    readonly property string prefix: "> ".repeat(quoteDepth)
        + (kind === "heading" ? "#".repeat(headingLevel) + " "
           : isList ? (/^\d/.test(marker) ? marker + " " : "- ") : "")

    implicitHeight: (content.item as Item)?.implicitHeight ?? 0

    // Qt 6.4 cannot load a bound component through a Loader, so this file's
    // components are not bound and reach the block by id.
    // qmllint disable unqualified
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

    Loader {
        id: content
        x: block.indent
        width: Math.max(0, block.width - x)
        sourceComponent: block.isCode ? codeView : block.isRule ? ruleView : textView
    }

    Component {
        id: ruleView
        Item {
            implicitHeight: 9
            Rectangle {
                objectName: "rule"
                y: 4
                width: parent.width
                height: 1
                color: Theme.border
            }
        }
    }

    Component {
        id: codeView
        CodeBlockView {
            code: block.plainText
            language: block.language
            codeShown: block.shown
        }
    }

    Component {
        id: textView
        Item {
            id: textRoot

            // The rich text the view shows. A table that grows (a reply being
            // streamed) is edited row by row, so that its other cells are not
            // read and laid out again on every frame.
            property string shownRichText

            function showRichText() {
                if (!GrowingTable.grow(text.textDocument, shownRichText, block.richText)) {
                    text.text = block.richText
                }
                shownRichText = block.richText
            }

            implicitHeight: text.implicitHeight
            Component.onCompleted: showRichText()

            Connections {
                target: block
                function onRichTextChanged() { showRichText() }
            }

            // Out of the band the text leaves the scene rather than only
            // hiding: a hidden item keeps its nodes, and the software renderer
            // walks every node on every frame. Its layout, and so the block's
            // height, stays.
            Item {
                id: drawn
                readonly property bool isDrawn: block.shown || text.activeFocus
                parent: isDrawn ? textRoot : null
                visible: isDrawn
                width: textRoot.width
                height: textRoot.height

                Text {
                    id: markerText
                    objectName: "marker"
                    visible: block.isList
                    width: visible ? 18 : 0
                    text: visible ? block.marker : ""
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.textLarge
                    color: Theme.textSecondary
                }

                TableRules {
                    objectName: "tableRules"
                    x: text.x
                    document: block.kind === "table" ? text.textDocument : null
                    color: Theme.border
                }

                SelectableText {
                    id: text
                    objectName: "blockText"
                    x: markerText.width
                    width: Math.max(0, drawn.width - x)
                    textFormat: TextEdit.RichText
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
            }
        }
    }
    // qmllint enable unqualified
}
