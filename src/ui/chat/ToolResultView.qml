import QtQuick
import QtQuick.Controls
import Emberglass.Backend
import Emberglass.Common
import Emberglass.Theme

// One tool result: a header that opens and closes the output, and the whole
// output in a box that scrolls once it is taller than 200.
Item {
    id: view

    property var result
    property bool isExpanded: false
    readonly property bool success: result ? result.success : false
    readonly property string output: result ? result.output : ""

    implicitHeight: column.height

    Column {
        id: column
        x: 44
        width: Math.max(0, view.width - x)
        topPadding: 4
        bottomPadding: 4
        leftPadding: 10
        rightPadding: 10
        spacing: 4

        AbstractButton {
            id: header
            objectName: "resultHeader"
            implicitWidth: headerRow.implicitWidth
            implicitHeight: headerRow.implicitHeight
            // Reached with Tab; a click leaves the focus in the input field,
            // so the next words typed still go there.
            focusPolicy: Qt.TabFocus
            Accessible.onPressAction: if (enabled) clicked()
            onClicked: view.isExpanded = !view.isExpanded

            Accessible.name: Texts.toolResultName + (view.result ? view.result.tool : "") + ": "
                             + (view.success ? Texts.succeeded : Texts.failed) + ", "
                             + resultLength.text
            Accessible.description: view.isExpanded ? Texts.collapseResult : Texts.expandResult
            // Checkable, so that screen readers hear whether it is open.
            Accessible.onToggleAction: if (enabled) clicked()
            checkable: true
            checked: view.isExpanded
            onToggled: checked = Qt.binding(() => view.isExpanded)

            FocusRing {
                anchors.margins: -3
                radius: 5
                shown: header.visualFocus
            }

            HoverHandler {
                cursorShape: Qt.PointingHandCursor
            }

            Row {
                id: headerRow
                spacing: 6

                Icon {
                    anchors.verticalCenter: parent.verticalCenter
                    name: view.isExpanded ? "chevron.down" : "chevron.right"
                    size: 8
                    color: Theme.textTertiary
                }

                Rectangle {
                    objectName: "resultBadge"
                    anchors.verticalCenter: parent.verticalCenter
                    width: 14
                    height: 14
                    radius: 3
                    color: view.success ? Theme.success : Theme.danger
                    Icon {
                        objectName: "resultBadgeSymbol"
                        anchors.centerIn: parent
                        name: view.success ? "checkmark" : "xmark"
                        size: 7
                        color: Theme.onFill
                    }
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: Texts.result
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.textCaption
                    font.bold: true
                    font.letterSpacing: 0.5
                    color: Theme.textSecondary
                }

                Text {
                    id: resultLength
                    objectName: "resultLength"
                    anchors.verticalCenter: parent.verticalCenter
                    text: DisplayFormat.characterCount(view.output) + Texts.charactersSuffix
                    font.family: Theme.fontFamily
                    font.pixelSize: Theme.textTiny
                    color: Theme.textTertiary
                }
            }
        }

        // Opens and closes by its height; the output is built only while shown.
        Item {
            id: outputArea
            objectName: "outputArea"
            width: column.width - column.leftPadding - column.rightPadding
            height: view.isExpanded ? outputLoader.height : 0
            visible: height > 0
            clip: true

            Behavior on height {
                NumberAnimation {
                    duration: 200
                    easing.type: Easing.Bezier
                    easing.bezierCurve: Motion.easeInOut
                }
            }

            Loader {
                id: outputLoader
                width: parent.width
                active: view.isExpanded || outputArea.height > 0
                sourceComponent: outputBox
            }
        }
    }

    Component {
        id: outputBox

        Rectangle {
            objectName: "outputBox"
            height: Math.min(outputText.implicitHeight + 20, 200)
            radius: 8
            color: Theme.background
            border.color: Theme.border
            border.width: 1

            Flickable {
                id: outputFlick
                objectName: "outputScroll"
                anchors.fill: parent
                anchors.margins: 1
                contentWidth: width
                contentHeight: outputText.implicitHeight + 18
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {
                    Accessible.name: Texts.scrollBarName(Texts.outputAccessibleName)
                }

                SelectableText {
                    id: outputText
                    objectName: "outputText"
                    x: 9
                    y: 9
                    width: outputFlick.width - 18
                    // Reached by id from a Loader's component (not bound: Qt 6.4 cannot load bound ones).
                    text: view.output // qmllint disable unqualified
                    wrapMode: TextEdit.WrapAtWordBoundaryOrAnywhere
                    font.family: Theme.monoFamily
                    font.pixelSize: Theme.textFootnote
                    Accessible.name: Texts.outputAccessibleName
                }
            }
        }
    }
}
