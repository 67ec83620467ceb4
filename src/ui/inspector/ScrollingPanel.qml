import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Emberglass.Theme

// An inspector panel's content in a vertical scroll view, padded; children laid
// out in a column (Layout.fillWidth for the full width).
ScrollView {
    id: scroll

    default property alias content: column.data
    // What it scrolls, as a screen reader names its scroll bar.
    property string scrolls

    contentWidth: availableWidth
    contentHeight: column.implicitHeight + 32
    ScrollBar.horizontal.policy: ScrollBar.AlwaysOff
    ScrollBar.vertical: ViewScrollBar {
        view: scroll
        scrolls: scroll.scrolls
    }

    FocusInView {
        flickable: scroll.contentItem as Flickable
    }

    // Centred, no wider than a form reads well.
    ColumnLayout {
        id: column
        width: Math.min(scroll.availableWidth - 32, Theme.formWidth)
        x: Math.round((scroll.availableWidth - width) / 2)
        y: 16
    }
}
