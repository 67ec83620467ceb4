import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts

// An inspector panel's content in a vertical scroll view, padded; children laid
// out in a column (Layout.fillWidth for the full width).
ScrollView {
    id: scroll

    default property alias content: column.data

    contentWidth: availableWidth
    contentHeight: column.implicitHeight + 32
    ScrollBar.horizontal.policy: ScrollBar.AlwaysOff

    ColumnLayout {
        id: column
        x: 16
        y: 16
        width: scroll.availableWidth - 32
    }
}
