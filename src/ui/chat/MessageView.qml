import QtQuick

// One transcript row. Tool records and bubbles are different rows, so each
// role loads only the pieces it draws.
Item {
    id: message

    required property int index
    required property string messageId
    required property string role
    required property string content
    required property var toolCall
    required property var toolResult
    // The last message while its reply is being generated.
    property bool isStreaming: false

    implicitHeight: loader.item ? loader.item.implicitHeight : 0
    height: implicitHeight

    Loader {
        id: loader
        width: parent.width
        sourceComponent: message.role === "tool" ? toolRow : bubbleRow
    }

    Component {
        id: toolRow
        ToolRecordRow {
            call: message.toolCall
            result: message.toolResult
        }
    }

    Component {
        id: bubbleRow
        BubbleRow {
            role: message.role
            content: message.content
            isStreaming: message.isStreaming
        }
    }

    // A row that scrolls back into view starts afresh: collapsed, not hovered.
    ListView.onReused: {
        if (loader.item && loader.item.resetViewState) {
            loader.item.resetViewState()
        }
    }
}
