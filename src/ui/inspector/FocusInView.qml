import QtQuick
import QtQuick.Window

// Scrolls `flickable` so that a control inside it that takes the focus (by
// Tab, say) shows whole, as far as it fits. Put it anywhere inside the view.
Item {
    id: follower

    required property Flickable flickable
    readonly property Item focused: Window.activeFocusItem
    readonly property real margin: 12

    onFocusedChanged: {
        const content = flickable ? flickable.contentItem : null
        let inside = false
        for (let item = focused; item && content; item = item.parent) {
            if (item === content) {
                inside = true
                break
            }
        }
        if (!inside) {
            return
        }
        const box = focused.mapToItem(content, 0, 0, focused.width, focused.height)
        const top = box.y - margin
        const bottom = box.y + box.height + margin
        const lowest = Math.max(0, flickable.contentHeight - flickable.height)
        if (top < flickable.contentY) {
            flickable.contentY = Math.max(0, top)
        } else if (bottom > flickable.contentY + flickable.height) {
            flickable.contentY = Math.min(lowest, Math.max(top, bottom - flickable.height))
        }
    }
}
