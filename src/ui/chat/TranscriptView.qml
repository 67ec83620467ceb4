pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Emberglass.Backend
import Emberglass.Common

// The messages of the selected conversation. Delegates are created only for
// the rows in view and reused while scrolling, so a transcript of thousands of
// messages stays smooth; an append adds one row and never rebuilds the list.
ListView {
    id: transcript

    model: ChatViewModel.messages
    Accessible.role: Accessible.List
    Accessible.name: Texts.transcriptAccessibleName
    Accessible.description: ChatViewModel.isGenerating ? Texts.writingDescription : ""
    reuseItems: true
    cacheBuffer: 600
    topMargin: 12
    bottomMargin: 12
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {
        onPressedChanged: {
            if (pressed) {
                transcript.followsEnd = false
            }
        }
    }

    // Whether the last row's growth keeps the end in view: from the moment a
    // message arrives or changes until the user scrolls away.
    property bool followsEnd: true

    // The call waiting for approval stands where its tool row will be. Qt 6.4
    // cannot make a footer from a bound component, so it comes from its file.
    footer: Qt.createComponent("ToolApprovalCard.qml")
    onFooterItemChanged: {
        if (footerItem) {
            footerItem.width = Qt.binding(() => transcript.width)
        }
    }

    Connections {
        target: ChatViewModel.toolApproval
        function onPendingChanged() {
            if (ChatViewModel.toolApproval.isPending) {
                transcript.followEnd(true)
            }
        }
    }

    delegate: MessageView {
        width: transcript.width
        isStreaming: index === transcript.count - 1 && ChatViewModel.isGenerating
                     && role === Role.Value.assistant
        // Text is laid out after the change that brought it, so the last row
        // reports its final height later.
        onHeightChanged: {
            if (transcript.followsEnd && index === transcript.count - 1) {
                Qt.callLater(transcript.scrollToEnd, true) // qmllint disable type
            }
        }
    }

    function followEnd(animated) {
        followsEnd = true
        // Qt 6.4's qmllint takes Qt.callLater for a property.
        Qt.callLater(scrollToEnd, animated) // qmllint disable type
    }

    onMovementStarted: followsEnd = false

    // Keeps the last message's bottom edge in view when a message arrives or
    // the last one grows. A switch to another conversation, or a jump of more
    // than a screen, lands there at once.
    function scrollToEnd(animated) {
        if (count === 0) {
            return
        }
        scrollAnimation.stop()
        const from = contentY
        landAtEnd()
        const to = contentY
        if (!animated || Math.abs(to - from) < 0.5 || Math.abs(to - from) > height) {
            return
        }
        contentY = from
        scrollAnimation.from = from
        scrollAnimation.to = to
        scrollAnimation.start()
    }

    // The last row's bottom edge and the margin under it at the bottom of the
    // view. positionViewAtEnd builds the last rows, so their heights are real.
    function landAtEnd() {
        positionViewAtEnd()
        contentY = Math.max(contentY, originY + contentHeight + bottomMargin - height)
    }

    NumberAnimation {
        id: scrollAnimation
        target: transcript
        property: "contentY"
        duration: 150
        easing.type: Easing.Bezier
        easing.bezierCurve: Motion.easeOut
        // Rows not yet built have estimated heights: land exactly at the end.
        onFinished: transcript.landAtEnd()
    }

    onCountChanged: followEnd(true)
    Component.onCompleted: followEnd(false)

    Connections {
        target: transcript.model
        function onModelReset() {
            transcript.followEnd(false)
        }
        function onDataChanged(topLeft) {
            if (topLeft.row === transcript.count - 1) {
                transcript.followEnd(true)
            }
        }
    }
}
