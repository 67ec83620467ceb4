import QtQuick

// The application icon, drawn at any size: an orange rounded square holding a
// white ember with a warm core and three sparks rising from it.
Canvas {
    id: artwork

    property real size: 120
    property real cornerRadius: size * 0.22

    width: size
    height: size
    antialiasing: true
    onSizeChanged: requestPaint()
    onCornerRadiusChanged: requestPaint()

    // Points of the outline in units of the icon's side.
    function flame(ctx, s) {
        ctx.beginPath()
        ctx.moveTo(0.50 * s, 0.17 * s)
        ctx.bezierCurveTo(0.56 * s, 0.32 * s, 0.72 * s, 0.40 * s, 0.72 * s, 0.59 * s)
        ctx.bezierCurveTo(0.72 * s, 0.73 * s, 0.62 * s, 0.83 * s, 0.50 * s, 0.83 * s)
        ctx.bezierCurveTo(0.38 * s, 0.83 * s, 0.28 * s, 0.73 * s, 0.28 * s, 0.60 * s)
        ctx.bezierCurveTo(0.28 * s, 0.49 * s, 0.35 * s, 0.42 * s, 0.40 * s, 0.35 * s)
        ctx.bezierCurveTo(0.41 * s, 0.43 * s, 0.44 * s, 0.48 * s, 0.48 * s, 0.50 * s)
        ctx.bezierCurveTo(0.47 * s, 0.38 * s, 0.45 * s, 0.28 * s, 0.50 * s, 0.17 * s)
        ctx.closePath()
    }

    function core(ctx, s) {
        ctx.beginPath()
        ctx.moveTo(0.50 * s, 0.52 * s)
        ctx.bezierCurveTo(0.56 * s, 0.59 * s, 0.61 * s, 0.63 * s, 0.61 * s, 0.69 * s)
        ctx.bezierCurveTo(0.61 * s, 0.75 * s, 0.56 * s, 0.78 * s, 0.50 * s, 0.78 * s)
        ctx.bezierCurveTo(0.44 * s, 0.78 * s, 0.39 * s, 0.75 * s, 0.39 * s, 0.69 * s)
        ctx.bezierCurveTo(0.39 * s, 0.63 * s, 0.45 * s, 0.59 * s, 0.50 * s, 0.52 * s)
        ctx.closePath()
    }

    function spark(ctx, s, x, y, r) {
        ctx.beginPath()
        ctx.arc(x * s, y * s, r * s, 0, 2 * Math.PI)
        ctx.fill()
    }

    onPaint: {
        const ctx = getContext("2d")
        const s = size
        const r = Math.min(cornerRadius, s / 2)
        ctx.reset()

        const body = ctx.createLinearGradient(0, 0, 0, s)
        body.addColorStop(0, Qt.rgba(1.0, 0.56, 0.26, 1))
        body.addColorStop(1, Qt.rgba(0.93, 0.32, 0.10, 1))
        ctx.fillStyle = body
        ctx.beginPath()
        ctx.roundedRect(0, 0, s, s, r, r)
        ctx.fill()

        ctx.fillStyle = Qt.rgba(1, 1, 1, 0.96)
        flame(ctx, s)
        ctx.fill()

        ctx.fillStyle = Qt.rgba(1.0, 0.78, 0.40, 1)
        core(ctx, s)
        ctx.fill()

        ctx.fillStyle = Qt.rgba(1, 1, 1, 0.9)
        spark(ctx, s, 0.71, 0.25, 0.034)
        spark(ctx, s, 0.79, 0.37, 0.022)
        spark(ctx, s, 0.63, 0.15, 0.018)
    }
}
