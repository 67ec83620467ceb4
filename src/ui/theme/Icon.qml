import QtQuick

// A line icon by its symbol name ("brain", "arrow.up", ...), drawn in `color`.
Image {
    id: icon

    property string name
    property color color: "black"
    property real size: 14

    // Symbol names used by the views, mapped to the Lucide icon that stands in.
    readonly property var symbols: ({
        "brain": "brain",
        "arrow.up": "arrow-up",
        "iphone": "smartphone",
        "cpu": "cpu",
        "info.circle": "info",
        "chevron.left": "chevron-left",
        "chevron.right": "chevron-right",
        "chevron.down": "chevron-down",
        "bubble.left.fill": "message-circle",
        "person.fill": "user",
        "xmark": "x",
        "checkmark": "check",
        "stop.fill": "square",
        "exclamationmark": "exclamation-mark",
        "doc.text": "file-text",
        "square.and.pencil": "square-pen",
        "folder": "folder",
        "magnifyingglass": "search",
        "terminal": "terminal",
        "wrench": "wrench",
        "arrow.up.right": "arrow-up-right",
        "lock.shield": "shield-lock",
        "gearshape.fill": "settings",
        "circle.hexagongrid.fill": "hexagon",
        "sparkles": "sparkles",
        "water.waves": "waves",
        "antenna.radiowaves.left.and.right": "radio",
        "checkmark.circle.fill": "circle-check",
        "arrow.down.circle.fill": "circle-arrow-down",
        "brain.head.profile": "brain-circuit",
        "clock": "clock",
        "clock.fill": "clock",
        "arrow.clockwise": "rotate-cw",
        "tray": "inbox",
        "briefcase.fill": "briefcase",
        "dollarsign": "dollar-sign",
        "pencil": "pencil",
        "arrow.right": "arrow-right",
        "doc.on.clipboard": "clipboard-paste",
        "paperclip": "paperclip"
    })

    function hex(c) {
        const part = v => ("0" + Math.round(v * 255).toString(16)).slice(-2)
        return part(c.r) + part(c.g) + part(c.b)
    }

    width: size
    height: size
    sourceSize.width: Math.ceil(size * 2)
    sourceSize.height: Math.ceil(size * 2)
    opacity: color.a
    smooth: true
    source: name.length > 0 ? "image://icon/" + (symbols[name] || "circle-help") + "/" + hex(color) : ""
}
