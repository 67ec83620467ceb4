import QtQuick
import Emberglass.Theme

// One tool call: the tool's symbol, its name and its arguments on one line.
Item {
    id: view

    property var call
    readonly property string tool: call ? call.tool : ""
    readonly property string summaryLine: call ? oneLine(call.summary) : ""

    // The summary on one line. Only its two ends can show once it is shortened
    // in the middle, so a huge argument (a whole file written) is cut first.
    function oneLine(text) {
        const flat = (text || "").replace(/\s*[\r\n\u2028\u2029]+\s*/g, " ")
        const keep = 600
        return flat.length <= 2 * keep ? flat : flat.slice(0, keep) + "…" + flat.slice(-keep)
    }

    implicitHeight: box.height

    Rectangle {
        id: box
        objectName: "toolCallBox"
        x: 44
        readonly property real available: Math.max(0, view.width - x)
        // As wide as its content, at most the row; the summary gives way first.
        width: Math.min(available, 20 + badge.width + name.implicitWidth
                        + summary.implicitWidth + 2 * content.spacing)
        height: content.height + 14
        radius: 8
        color: Theme.surfaceAlt
        border.color: Theme.border
        border.width: 1

        Row {
            id: content
            x: 10
            y: 7
            spacing: 6

            ToolBadge {
                id: badge
                tool: view.tool
            }

            Text {
                id: name
                anchors.verticalCenter: parent.verticalCenter
                text: view.tool
                textFormat: Text.PlainText
                font.family: Theme.monoFamily
                font.pixelSize: Theme.textSmall
                font.bold: true
                color: Theme.textPrimary
            }

            Text {
                id: summary
                objectName: "toolSummary"
                anchors.verticalCenter: parent.verticalCenter
                width: Math.max(0, box.width - 20 - badge.width - name.width - 2 * content.spacing)
                text: view.summaryLine
                textFormat: Text.PlainText
                elide: Text.ElideMiddle
                maximumLineCount: 1
                font.family: Theme.fontFamily
                font.pixelSize: Theme.textCaption
                color: Theme.textTertiary
            }
        }
    }
}
