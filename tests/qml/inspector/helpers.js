.pragma library

// Small checks shared by the view tests.

// Colours as their 8-bit hex text: float components need not match exactly.
function sameColor(a, b) {
    return Qt.color(a).toString() === Qt.color(b).toString()
}

// Every `text` string shown by an item and the visible items below it, depth first.
function textsOf(item) {
    if (!item.visible)
        return []
    let texts = []
    if (typeof item.text === "string")
        texts.push(item.text)
    for (let i = 0; i < item.children.length; ++i)
        texts = texts.concat(textsOf(item.children[i]))
    return texts
}
