import QtQuick
import QtQuick.Controls.Basic
import Emberglass.Common

// A scroll view's vertical bar, named for what it scrolls: a screen reader
// lists scroll bars among the controls, and a nameless one says nothing.
// `ScrollBar.vertical: ViewScrollBar { view: scroll; scrolls: "…" }` (a
// scroll view places only its own bars).
ScrollBar {
    required property ScrollView view
    property string scrolls

    parent: view
    x: view.mirrored ? 0 : view.width - width
    y: view.topPadding
    height: view.availableHeight
    active: view.ScrollBar.horizontal.active
    Accessible.name: Texts.scrollBarName(scrolls)
}
