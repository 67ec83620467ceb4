import QtQuick
import QtQuick.Window

// F6 and Shift+F6 move the focus round the regions of the window, as in other
// desktop programs. Each region is `{ area, enter(reason) }`: `area` holds
// the region's controls, `enter` gives the region the focus (and may decline
// by leaving it where it was, as a closed panel does). A hidden area is passed
// over.
Item {
    id: cycle

    property var regions: []

    // The region holding the focus, or -1.
    function currentRegion() {
        for (let item = Window.activeFocusItem; item; item = item.parent) {
            const index = regions.findIndex(region => region.area === item)
            if (index >= 0) {
                return index
            }
        }
        return -1
    }

    function move(forward) {
        const count = regions.length
        const start = currentRegion()
        for (let step = 1; step <= count; ++step) {
            const index = ((start < 0 ? (forward ? -1 : 0) : start) + (forward ? step : -step) + count) % count
            const region = regions[index]
            if (!region.area || !region.area.visible) {
                continue
            }
            const before = Window.activeFocusItem
            region.enter(forward ? Qt.TabFocusReason : Qt.BacktabFocusReason)
            if (Window.activeFocusItem !== before) {
                return
            }
        }
    }

    Shortcut {
        sequence: "F6"
        context: Qt.ApplicationShortcut
        onActivated: cycle.move(true)
    }
    Shortcut {
        sequence: "Shift+F6"
        context: Qt.ApplicationShortcut
        onActivated: cycle.move(false)
    }
}
