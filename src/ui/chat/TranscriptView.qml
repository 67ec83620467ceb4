pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Window
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
    // A region of its own (Tab, F6): the arrows go from message to message,
    // each read out as it gets the focus; the page keys scroll; Home and End
    // (with Ctrl or without) go to the first and the last message; Return or
    // Space opens and closes a tool result.
    activeFocusOnTab: true
    keyNavigationEnabled: false
    currentIndex: -1
    topMargin: 12
    bottomMargin: 12
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {
        objectName: "transcriptScrollBar"
        Accessible.name: Texts.scrollBarName(Texts.transcriptAccessibleName)
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

    // Entered from elsewhere (F6): on the message last read, in view.
    function enter(reason) {
        forceActiveFocus(reason)
        if (currentIndex >= 0) {
            positionViewAtIndex(currentIndex, ListView.Contain)
        }
    }

    // However the focus comes to the view itself (Tab, F6), it lands on the
    // latest message at first; focus for something in it (the approval card)
    // stays there.
    onActiveFocusChanged: {
        if (activeFocus && Window.activeFocusItem === transcript && count > 0
                && (currentIndex < 0 || currentIndex >= count)) {
            currentIndex = count - 1
        }
    }

    function showMessage(row) {
        if (count === 0) {
            return
        }
        followsEnd = false
        scrollAnimation.stop()
        currentIndex = Math.max(0, Math.min(count - 1, row))
        positionViewAtIndex(currentIndex, ListView.Contain)
    }

    // Scrolls by `pages` views' height, within the content; the focus goes to
    // the message in the middle of the view.
    function scrollPages(pages) {
        followsEnd = false
        scrollAnimation.stop()
        const top = originY - topMargin
        const bottom = Math.max(top, originY + contentHeight + bottomMargin - height)
        contentY = Math.max(top, Math.min(bottom, contentY + pages * (height - 40)))
        const row = indexAt(width / 2, contentY + height / 2)
        if (row >= 0) {
            currentIndex = row
        }
    }

    Keys.onPressed: event => {
        switch (event.key) {
        case Qt.Key_Up: showMessage(currentIndex - 1); break
        case Qt.Key_Down: showMessage(currentIndex + 1); break
        case Qt.Key_PageUp: scrollPages(-1); break
        case Qt.Key_PageDown: scrollPages(1); break
        case Qt.Key_Home:
            showMessage(0)
            positionViewAtBeginning()
            break
        case Qt.Key_End:
            showMessage(count - 1)
            followEnd(false)
            break
        case Qt.Key_Return:
        case Qt.Key_Enter:
        case Qt.Key_Space:
            if (!currentItem || !(currentItem as MessageView).toggleResult()) {
                return
            }
            break
        default:
            return
        }
        event.accepted = true
    }

    delegate: MessageView {
        width: transcript.width
        // The current message holds the focus inside the view, so a screen
        // reader reads it out as the arrows reach it.
        objectName: "message"
        focus: ListView.isCurrentItem
        isStreaming: index === transcript.count - 1 && ChatViewModel.isGenerating
                     && role === Role.Value.assistant
        // What is in view and half a view around it, moved in steps of a
        // quarter view, so that blocks are drawn before they scroll in and a
        // scroll does not reconsider every block at every frame.
        readonly property real shownStep: Math.max(1, transcript.height / 4)
        shownTop: (Math.floor((transcript.contentY - y) / shownStep) - 2) * shownStep
        shownBottom: shownTop + shownStep * 9
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
        // A call made later finds the user gone elsewhere (the keys, say).
        if (count === 0 || !followsEnd) {
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
            transcript.currentIndex = -1
            transcript.followEnd(false)
            // Opened from a search: its first match comes into view.
            if (ChatViewModel.search.active) {
                const row = ChatViewModel.messages.firstRowContaining(ChatViewModel.search.text)
                if (row >= 0) {
                    transcript.showMessage(row)
                }
            }
        }
        function onDataChanged(topLeft) {
            if (topLeft.row === transcript.count - 1) {
                transcript.followEnd(true)
            }
        }
    }
}
