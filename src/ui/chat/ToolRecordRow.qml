import QtQuick

// A tool message: the call it records, or the result it carries.
Column {
    id: record

    property var call
    property var result

    function toggleResult() {
        const view = resultLoader.item as ToolResultView
        if (!view) {
            return false
        }
        view.isExpanded = !view.isExpanded
        return true
    }

    function resetViewState() {
        if (resultLoader.item) {
            resultLoader.item.isExpanded = false
        }
    }

    topPadding: 4
    bottomPadding: 4
    leftPadding: 20
    rightPadding: 20

    // Qt 6.4 cannot load a bound component through a Loader, so these components
    // are not bound and reach the row by id.
    // qmllint disable unqualified
    Loader {
        active: !!record.call
        visible: active
        width: record.width - record.leftPadding - record.rightPadding
        sourceComponent: ToolCallView {
            call: record.call
        }
    }

    Loader {
        id: resultLoader
        active: !!record.result
        visible: active
        width: record.width - record.leftPadding - record.rightPadding
        sourceComponent: ToolResultView {
            objectName: "toolResultView"
            result: record.result
        }
    }
    // qmllint enable unqualified
}
